#include "host/admin/resource_library_writer.h"

#include <QBuffer>
#include <QSaveFile>
#include <QSet>

#include "host/admin/modern_icon_art.h"
#include "host/admin/resource_module_builder.h"
#include "platform/error.h"
#include "platform/le_bytes.h"

namespace qm::host {
namespace {

using platform::AppendU16;
using platform::AppendU32;
using platform::AppendU8;

constexpr std::int32_t kErrorInvalidParameter = 87;
constexpr std::int32_t kErrorWriteFault = 29;
const QString kSource = QStringLiteral("WriteIconLibrary");

[[noreturn]] void Invalid(const QString& description) {
  throw Error(kErrorInvalidParameter, kSource, description);
}

QByteArray EncodePng(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!image.convertToFormat(QImage::Format_ARGB32).save(&buffer, "PNG")) {
    Invalid(QStringLiteral("An icon image cannot be stored as PNG."));
  }
  return bytes;
}

// GRPICONDIRENTRY: like the ICO file's entry, with the image's number in
// place of its file offset.
void AppendGroupEntry(QByteArray& group, const QImage& image, std::uint32_t size,
                      std::uint16_t id) {
  AppendU8(group, image.width() >= 256 ? 0 : static_cast<std::uint32_t>(image.width()));
  AppendU8(group, image.height() >= 256 ? 0 : static_cast<std::uint32_t>(image.height()));
  AppendU8(group, 0);  // no palette
  AppendU8(group, 0);
  AppendU16(group, 1);  // planes
  AppendU16(group, 32);
  AppendU32(group, size);
  AppendU16(group, id);
}

}  // namespace

QByteArray EncodeIconDib(const QImage& source) {
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  const int width = image.width();
  const int height = image.height();
  const int maskStride = (width + 31) / 32 * 4;
  QByteArray out;
  AppendU32(out, 40);
  AppendU32(out, static_cast<std::uint32_t>(width));
  AppendU32(out, static_cast<std::uint32_t>(height * 2));  // colour rows and mask rows
  AppendU16(out, 1);
  AppendU16(out, 32);
  AppendU32(out, 0);  // uncompressed
  AppendU32(out, static_cast<std::uint32_t>((width * 4 + maskStride) * height));
  for (int i = 0; i < 4; ++i) {
    AppendU32(out, 0);  // resolution and palette: unused
  }
  for (int y = height - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    for (int x = 0; x < width; ++x) {
      AppendU8(out, static_cast<std::uint32_t>(qBlue(row[x])));
      AppendU8(out, static_cast<std::uint32_t>(qGreen(row[x])));
      AppendU8(out, static_cast<std::uint32_t>(qRed(row[x])));
      AppendU8(out, static_cast<std::uint32_t>(qAlpha(row[x])));
    }
  }
  for (int y = height - 1; y >= 0; --y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    QByteArray mask(maskStride, '\0');
    for (int x = 0; x < width; ++x) {
      if (qAlpha(row[x]) == 0) {
        mask[x / 8] = static_cast<char>(mask[x / 8] | (0x80 >> (x % 8)));
      }
    }
    out.append(mask);
  }
  return out;
}

QByteArray BuildIconLibrary(const QList<IconResource>& icons) {
  QList<RawResource> resources;
  QSet<QString> names;
  std::uint32_t nextId = 1;
  for (const IconResource& icon : icons) {
    const QString name = icon.name.toUpper();
    if (name.isEmpty() || icon.images.isEmpty() || icon.images.size() > 255) {
      Invalid(QStringLiteral("An icon needs a name and 1 to 255 images."));
    }
    if (names.contains(name)) {
      Invalid(QStringLiteral("The icon name \"%1\" is given twice.").arg(icon.name));
    }
    names.insert(name);
    QByteArray group;
    AppendU16(group, 0);
    AppendU16(group, 1);  // icons, not cursors
    AppendU16(group, static_cast<std::uint32_t>(icon.images.size()));
    for (const QImage& image : icon.images) {
      if (image.isNull() || image.width() > 256 || image.height() > 256) {
        Invalid(
            QStringLiteral("The icon \"%1\" has an image that is empty or larger than 256 pixels.")
                .arg(icon.name));
      }
      if (nextId > 0xFFFFu) {
        Invalid(QStringLiteral("A library holds at most 65535 icon images."));
      }
      const auto id = static_cast<std::uint16_t>(nextId++);
      QByteArray data =
          icon.encoding == IconEncoding::Png ? EncodePng(image) : EncodeIconDib(image);
      AppendGroupEntry(group, image, static_cast<std::uint32_t>(data.size()), id);
      resources.append(RawResource{platform::kResourceTypeIcon, id, 0x0409, std::move(data)});
    }
    resources.append(RawResource{platform::kResourceTypeGroupIcon, name, 0x0409, group});
  }
  return BuildResourceModule(resources);
}

void WriteIconLibrary(const QString& path, const QList<IconResource>& icons) {
  const QByteArray module = BuildIconLibrary(icons);
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly) || file.write(module) != module.size() || !file.commit()) {
    throw Error(kErrorWriteFault, kSource,
                QStringLiteral("The resource library \"%1\" cannot be written: %2")
                    .arg(path, file.errorString()));
  }
}

QList<IconResource> ModernIconResources() {
  QList<IconResource> icons;
  for (int position = 1; position <= folder_icons::kCount; ++position) {
    icons.append(IconResource{
        folder_icons::ModernIconName(position), {DrawModernIcon(position)}, IconEncoding::Dib});
  }
  return icons;
}

void WriteModernIconLibrary(const QString& path) { WriteIconLibrary(path, ModernIconResources()); }

}  // namespace qm::host
