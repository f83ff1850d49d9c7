#include "platform/icon_decoder.h"

#include <QBuffer>
#include <QImageReader>

#include <cstdint>

#include "platform/error.h"
#include "platform/le_bytes.h"

namespace qm::platform {
namespace {

using platform::LittleEndianView;

constexpr std::int32_t kErrorInvalidData = 13;

LittleEndianView View(QByteArrayView bytes) {
  return LittleEndianView(bytes, kErrorInvalidData, QStringLiteral("LoadImage"));
}

struct DibLayout {
  int width = 0;
  int height = 0;  // of the picture, without mask rows
  bool topDown = false;
  int bitCount = 0;
  std::uint64_t paletteAt = 0;
  std::uint64_t colors = 0;
  std::uint64_t pixelsAt = 0;
  std::uint64_t stride = 0;
  std::uint64_t maskAt = 0;  // only for icons
  std::uint64_t maskStride = 0;
};

DibLayout ReadLayout(const LittleEndianView& dib, bool icon) {
  DibLayout layout;
  const std::uint64_t headerSize = dib.U32(0);
  dib.Check(headerSize >= 40 && dib.Contains(0, headerSize),
            QStringLiteral("The image does not begin with a complete bitmap header."));
  const std::int64_t width = dib.I32(4);
  const std::int64_t rawHeight = dib.I32(8);
  const int maxSide = icon ? kMaxIconSide : kMaxBitmapSide;
  const std::int64_t height = icon ? rawHeight / 2 : (rawHeight < 0 ? -rawHeight : rawHeight);
  dib.Check(
      width > 0 && width <= maxSide && height > 0 && height <= maxSide && (!icon || rawHeight > 0),
      QStringLiteral("The image's size %1 x %2 is not usable.").arg(width).arg(rawHeight));
  layout.width = static_cast<int>(width);
  layout.height = static_cast<int>(height);
  layout.topDown = rawHeight < 0;
  dib.Check(dib.U16(12) == 1, QStringLiteral("The image has more than one plane."));
  layout.bitCount = dib.U16(14);
  const int bits = layout.bitCount;
  dib.Check(bits == 1 || bits == 4 || bits == 8 || bits == 24 || bits == 32,
            QStringLiteral("The image has %1 bits per pixel; 1, 4, 8, 24 or 32 are supported.")
                .arg(bits));
  dib.Check(dib.U32(16) == 0,
            QStringLiteral("The image is compressed; only uncompressed images are supported."));

  const std::uint64_t used = dib.U32(32);
  if (bits <= 8) {
    const std::uint64_t full = std::uint64_t{1} << bits;
    dib.Check(used <= full,
              QStringLiteral("The image's palette has %1 colours, more than %2 bits can index.")
                  .arg(used)
                  .arg(bits));
    layout.colors = used == 0 ? full : used;
  } else {
    layout.colors = used;  // an optional palette that the pixels do not use
  }
  layout.paletteAt = headerSize;
  layout.pixelsAt = headerSize + 4 * layout.colors;
  layout.stride =
      (static_cast<std::uint64_t>(layout.width) * static_cast<std::uint64_t>(bits) + 31) / 32 * 4;
  const std::uint64_t pixelBytes = layout.stride * static_cast<std::uint64_t>(layout.height);
  dib.Check(dib.Contains(layout.pixelsAt, pixelBytes),
            QStringLiteral("The image's pixels run past the end of its data."));
  if (icon) {
    layout.maskAt = layout.pixelsAt + pixelBytes;
    layout.maskStride = (static_cast<std::uint64_t>(layout.width) + 31) / 32 * 4;
    dib.Check(
        dib.Contains(layout.maskAt, layout.maskStride * static_cast<std::uint64_t>(layout.height)),
        QStringLiteral("The icon's mask runs past the end of its data."));
  }
  return layout;
}

QRgb PaletteColor(const LittleEndianView& dib, const DibLayout& layout, std::uint64_t index) {
  if (index >= layout.colors) {
    return qRgb(0, 0, 0);  // an index past a shortened palette
  }
  const std::uint64_t at = layout.paletteAt + 4 * index;
  return qRgb(dib.U8(at + 2), dib.U8(at + 1), dib.U8(at));
}

// The colour of one pixel; alpha is the file's for 32 bits, else opaque.
QRgb ReadPixel(const LittleEndianView& dib, const DibLayout& layout, std::uint64_t row, int x) {
  const std::uint64_t at = layout.pixelsAt + row * layout.stride;
  const auto ux = static_cast<std::uint64_t>(x);
  switch (layout.bitCount) {
    case 32:
      return qRgba(dib.U8(at + 4 * ux + 2), dib.U8(at + 4 * ux + 1), dib.U8(at + 4 * ux),
                   dib.U8(at + 4 * ux + 3));
    case 24:
      return qRgb(dib.U8(at + 3 * ux + 2), dib.U8(at + 3 * ux + 1), dib.U8(at + 3 * ux));
    case 8:
      return PaletteColor(dib, layout, dib.U8(at + ux));
    case 4:
      return PaletteColor(dib, layout, (dib.U8(at + ux / 2) >> (ux % 2 == 0 ? 4 : 0)) & 0x0Fu);
    default:
      return PaletteColor(dib, layout, (dib.U8(at + ux / 8) >> (7 - ux % 8)) & 0x01u);
  }
}

QImage DecodeDib(QByteArrayView bytes, bool icon) {
  const LittleEndianView dib = View(bytes);
  const DibLayout layout = ReadLayout(dib, icon);
  QImage image(layout.width, layout.height, icon ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  dib.Check(!image.isNull(), QStringLiteral("There is not enough memory for the image."));
  bool anyAlpha = false;
  for (int y = 0; y < layout.height; ++y) {
    const auto row = static_cast<std::uint64_t>(layout.topDown ? y : layout.height - 1 - y);
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < layout.width; ++x) {
      line[x] = ReadPixel(dib, layout, row, x);
      anyAlpha = anyAlpha || qAlpha(line[x]) != 0;
    }
  }
  if (!icon) {
    return image;
  }
  // Without alpha of its own, a 32-bit icon is opaque where its mask says so,
  // like every icon of fewer bits.
  const bool useMask = layout.bitCount != 32 || !anyAlpha;
  for (int y = 0; y < layout.height && useMask; ++y) {
    const auto row = static_cast<std::uint64_t>(layout.height - 1 - y);
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < layout.width; ++x) {
      const auto ux = static_cast<std::uint64_t>(x);
      const bool transparent =
          ((dib.U8(layout.maskAt + row * layout.maskStride + ux / 8) >> (7 - ux % 8)) & 1u) != 0;
      line[x] = transparent ? qRgba(0, 0, 0, 0) : (line[x] | 0xFF000000u);
    }
  }
  return image;
}

bool IsPng(QByteArrayView bytes) {
  return bytes.startsWith(QByteArrayView("\x89PNG\r\n\x1a\n", 8));
}

QImage DecodePng(QByteArrayView bytes) {
  QByteArray copy = bytes.toByteArray();
  QBuffer buffer(&copy);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, "png");
  const QSize size = reader.size();
  const LittleEndianView view = View(bytes);
  view.Check(size.isValid() && size.width() <= kMaxIconSide && size.height() <= kMaxIconSide,
             QStringLiteral("The icon's PNG image is not readable or larger than %1 pixels.")
                 .arg(kMaxIconSide));
  const QImage image = reader.read();
  view.Check(
      !image.isNull(),
      QStringLiteral("The icon's PNG image cannot be decoded: %1").arg(reader.errorString()));
  return image.convertToFormat(QImage::Format_ARGB32);
}

}  // namespace

QImage DecodeIconImage(QByteArrayView bytes) {
  return IsPng(bytes) ? DecodePng(bytes) : DecodeDib(bytes, true);
}

QImage DecodeBitmap(QByteArrayView bytes) { return DecodeDib(bytes, false); }

QList<QImage> DecodeIconFile(QByteArrayView bytes) {
  const LittleEndianView file = View(bytes);
  file.Check(file.Contains(0, 6) && file.U16(0) == 0 && file.U16(2) == 1,
             QStringLiteral("The file does not begin with an icon directory."));
  const std::uint64_t count = file.U16(4);
  file.Check(count > 0 && file.Contains(6, count * 16),
             QStringLiteral("The icon directory is empty or truncated."));
  QList<QImage> images;
  for (std::uint64_t i = 0; i < count; ++i) {
    const std::uint64_t entry = 6 + 16 * i;
    const std::uint64_t size = file.U32(entry + 8);
    const std::uint64_t offset = file.U32(entry + 12);
    file.Check(file.Contains(offset, size),
               QStringLiteral("Image %1 of the icon file lies outside the file.").arg(i));
    images.append(DecodeIconImage(file.Slice(offset, size)));
  }
  return images;
}

}  // namespace qm::platform
