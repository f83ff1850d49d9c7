#include "platform/icon_decoder.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <vector>

#include "common/test_environment.h"
#include "platform/le_bytes.h"

namespace {

using qm::platform::AppendI32;
using qm::platform::AppendU16;
using qm::platform::AppendU32;
using qm::platform::AppendU8;

// A DIB written independently of the code under test, from pixels given
// top row first: palette indices for 1 to 8 bits, 0xAARRGGBB otherwise.
struct Dib {
  int width = 0;
  int height = 0;
  int bits = 32;
  std::vector<QRgb> palette;
  std::vector<std::uint32_t> pixels;
  std::vector<bool> transparent;  // the AND mask, for icons; empty for bitmaps
  bool topDown = false;
  std::uint32_t paletteCount = 0;  // the header's colours-used field

  QByteArray Bytes() const {
    const bool icon = !transparent.empty();
    QByteArray out;
    AppendU32(out, 40);
    AppendI32(out, width);
    AppendI32(out, (icon ? 2 : 1) * (topDown ? -height : height));
    AppendU16(out, 1);
    AppendU16(out, static_cast<std::uint32_t>(bits));
    for (const std::uint32_t field : {0u, 0u, 0u, 0u, paletteCount, 0u}) {
      AppendU32(out, field);
    }
    for (const QRgb color : palette) {
      AppendU8(out, qBlue(color));
      AppendU8(out, qGreen(color));
      AppendU8(out, qRed(color));
      AppendU8(out, 0);
    }
    for (int r = 0; r < height; ++r) {
      const int y = topDown ? r : height - 1 - r;
      QByteArray row;
      std::uint32_t bitBuffer = 0;
      int bitsUsed = 0;
      for (int x = 0; x < width; ++x) {
        const std::uint32_t p = pixels[static_cast<std::size_t>(y * width + x)];
        if (bits == 32) {
          AppendU32(row, p);  // B G R A in memory
        } else if (bits == 24) {
          AppendU8(row, p & 0xFF);
          AppendU8(row, (p >> 8) & 0xFF);
          AppendU8(row, (p >> 16) & 0xFF);
        } else {
          bitBuffer = (bitBuffer << bits) | p;
          bitsUsed += bits;
          if (bitsUsed == 8) {
            AppendU8(row, bitBuffer);
            bitBuffer = 0;
            bitsUsed = 0;
          }
        }
      }
      if (bitsUsed > 0) {
        AppendU8(row, bitBuffer << (8 - bitsUsed));
      }
      while (row.size() % 4 != 0) {
        row.append('\0');
      }
      out.append(row);
    }
    for (int r = 0; icon && r < height; ++r) {
      const int y = height - 1 - r;
      QByteArray row((width + 31) / 32 * 4, '\0');
      for (int x = 0; x < width; ++x) {
        if (transparent[static_cast<std::size_t>(y * width + x)]) {
          row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
        }
      }
      out.append(row);
    }
    return out;
  }
};

const QRgb kColors[] = {qRgb(0, 0, 0),      qRgb(255, 0, 0),    qRgb(0, 255, 0),
                        qRgb(0, 0, 255),    qRgb(255, 255, 0),  qRgb(10, 20, 30),
                        qRgb(200, 100, 50), qRgb(255, 255, 255)};

// A 3 by 2 picture (odd width, so rows need padding) with two
// transparent pixels, at the given depth.
Dib Sample(int bits) {
  Dib dib;
  dib.width = 3;
  dib.height = 2;
  dib.bits = bits;
  dib.transparent = {false, true, false, false, false, true};
  const std::vector<std::uint32_t> indices = {1, 0, 2, 3, bits == 1 ? 0u : 4u, 1};
  if (bits <= 8) {
    const std::size_t colours = std::size_t{1} << bits;
    dib.palette.assign(std::begin(kColors),
                       std::begin(kColors) + std::min<std::size_t>(colours, 8));
    dib.palette.resize(colours, qRgb(0, 0, 0));
    dib.pixels = indices;
    if (bits == 1) {
      dib.pixels = {1, 0, 1, 0, 0, 1};
    }
  } else {
    for (const std::uint32_t i : indices) {
      dib.pixels.push_back(kColors[i]);
    }
  }
  return dib;
}

QRgb Expected(const Dib& dib, int x, int y) {
  const auto i = static_cast<std::size_t>(y * dib.width + x);
  if (!dib.transparent.empty() && dib.transparent[i]) {
    return qRgba(0, 0, 0, 0);
  }
  return dib.bits <= 8 ? dib.palette[dib.pixels[i]] : (dib.pixels[i] | 0xFF000000u);
}

TEST(IconDecoder, EveryDepthGivesItsPixelsAndMask) {
  for (const int bits : {1, 4, 8, 24, 32}) {
    Dib dib = Sample(bits);
    if (bits == 32) {
      for (std::uint32_t& p : dib.pixels) {
        p &= 0x00FFFFFFu;  // no alpha: the mask decides
      }
    }
    const QImage image = qm::platform::DecodeIconImage(dib.Bytes());
    ASSERT_EQ(image.size(), QSize(3, 2)) << bits;
    for (int y = 0; y < 2; ++y) {
      for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(image.pixel(x, y), Expected(dib, x, y)) << bits << " bits at " << x << "," << y;
      }
    }
  }
}

TEST(IconDecoder, ThirtyTwoBitIconsWithAlphaIgnoreTheirMask) {
  Dib dib = Sample(32);
  dib.pixels = {0x80FF0000u, 0xFF00FF00u, 0x00000000u, 0x10101010u, 0xFF0000FFu, 0xFFFFFFFFu};
  const QImage image = qm::platform::DecodeIconImage(dib.Bytes());
  EXPECT_EQ(image.pixel(0, 0), 0x80FF0000u);
  EXPECT_EQ(image.pixel(1, 0), 0xFF00FF00u);  // opaque though its mask bit is set
  EXPECT_EQ(image.pixel(0, 1), 0x10101010u);
}

TEST(IconDecoder, BitmapsAreOpaqueAndMayBeStoredTopDown) {
  Dib bottomUp = Sample(24);
  bottomUp.transparent.clear();
  Dib topDown = bottomUp;
  topDown.topDown = true;
  const QImage a = qm::platform::DecodeBitmap(bottomUp.Bytes());
  const QImage b = qm::platform::DecodeBitmap(topDown.Bytes());
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.pixel(0, 0), qRgb(255, 0, 0));
  EXPECT_EQ(a.pixel(2, 1), qRgb(255, 0, 0));
  EXPECT_FALSE(a.hasAlphaChannel());
}

TEST(IconDecoder, IndicesPastAShortenedPaletteShowBlack) {
  Dib dib = Sample(8);
  dib.palette.resize(2);
  dib.paletteCount = 2;
  const QImage image = qm::platform::DecodeIconImage(dib.Bytes());
  EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));  // index 1
  EXPECT_EQ(image.pixel(2, 0), qRgb(0, 0, 0));    // index 2, past the palette
}

struct Broken {
  const char* what;
  std::function<void(QByteArray&)> apply;
  const char* descriptionPart;
};

TEST(IconDecoder, MalformedImagesAreRefusedWithTheirReason) {
  const Broken cases[] = {
      {"empty", [](QByteArray& b) { b.clear(); }, "ends before"},
      {"header size too small", [](QByteArray& b) { qm::platform::PutU32(b, 0, 12); },
       "bitmap header"},
      {"header size past the end", [](QByteArray& b) { qm::platform::PutU32(b, 0, 0xFFFFFFF0u); },
       "bitmap header"},
      {"zero width", [](QByteArray& b) { qm::platform::PutU32(b, 4, 0); }, "not usable"},
      {"negative width", [](QByteArray& b) { qm::platform::PutU32(b, 4, 0x80000000u); },
       "not usable"},
      {"too wide", [](QByteArray& b) { qm::platform::PutU32(b, 4, 257); }, "not usable"},
      {"top-down icon",
       [](QByteArray& b) { qm::platform::PutU32(b, 8, static_cast<std::uint32_t>(-4)); },
       "not usable"},
      {"one row of two halves", [](QByteArray& b) { qm::platform::PutU32(b, 8, 1); }, "not usable"},
      {"two planes", [](QByteArray& b) { b[12] = 2; }, "plane"},
      {"16 bits", [](QByteArray& b) { b[14] = 16; }, "bits per pixel"},
      {"compressed", [](QByteArray& b) { b[16] = 1; }, "compressed"},
      {"palette too large", [](QByteArray& b) { qm::platform::PutU32(b, 32, 257); }, "palette"},
      {"pixels cut off", [](QByteArray& b) { b.truncate(40 + 1024 + 4); }, "pixels"},
      {"mask cut off", [](QByteArray& b) { b.chop(1); }, "mask"},
      {"taller than the data", [](QByteArray& b) { qm::platform::PutU32(b, 8, 400); }, "pixels"},
  };
  for (const Broken& c : cases) {
    QByteArray bytes = Sample(8).Bytes();
    c.apply(bytes);
    try {
      qm::platform::DecodeIconImage(bytes);
      ADD_FAILURE() << c.what << ": accepted";
    } catch (const qm::Error& e) {
      EXPECT_EQ(e.number(), 13) << c.what;
      EXPECT_EQ(e.source(), QStringLiteral("LoadImage")) << c.what;
      EXPECT_TRUE(e.description().contains(QString::fromLatin1(c.descriptionPart)))
          << c.what << ": " << e.what();
    }
  }
  // A 24-bit image may name a palette it does not use, but not one that
  // lies past its end.
  QByteArray unusedPalette = Sample(24).Bytes();
  qm::platform::PutU32(unusedPalette, 32, 0x40000000u);
  EXPECT_THROW(qm::platform::DecodeIconImage(unusedPalette), qm::Error);
}

QByteArray Png(const QImage& image) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  image.save(&buffer, "PNG");
  return bytes;
}

TEST(IconDecoder, PngImagesDecodeUpTo256Pixels) {
  QImage image(20, 10, QImage::Format_ARGB32);
  image.fill(qRgba(1, 2, 3, 100));
  EXPECT_EQ(qm::platform::DecodeIconImage(Png(image)), image);
  QImage big(257, 4, QImage::Format_ARGB32);
  big.fill(0);
  EXPECT_THROW(qm::platform::DecodeIconImage(Png(big)), qm::Error);
  QByteArray broken = Png(image);
  broken.truncate(30);
  EXPECT_THROW(qm::platform::DecodeIconImage(broken), qm::Error);
}

QByteArray IconFile(const QList<QByteArray>& images) {
  QByteArray out;
  AppendU16(out, 0);
  AppendU16(out, 1);
  AppendU16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (const QByteArray& image : images) {
    for (const std::uint32_t byte : {0u, 0u, 0u, 0u}) {
      AppendU8(out, byte);
    }
    AppendU16(out, 1);
    AppendU16(out, 32);
    AppendU32(out, static_cast<std::uint32_t>(image.size()));
    AppendU32(out, offset);
    offset += static_cast<std::uint32_t>(image.size());
  }
  for (const QByteArray& image : images) {
    out.append(image);
  }
  return out;
}

TEST(IconDecoder, IconFilesGiveEveryImageInOrder) {
  const QByteArray first = Sample(4).Bytes();
  const QByteArray second = Sample(32).Bytes();
  const QList<QImage> images = qm::platform::DecodeIconFile(IconFile({first, second}));
  ASSERT_EQ(images.size(), 2);
  EXPECT_EQ(images[0], qm::platform::DecodeIconImage(first));
  EXPECT_EQ(images[1], qm::platform::DecodeIconImage(second));

  QByteArray outside = IconFile({first});
  qm::platform::PutU32(outside, 6 + 12, 0xFFFFFFF0u);
  EXPECT_QM_ERROR(qm::platform::DecodeIconFile(outside), 13, "LoadImage",
                  "Image 0 of the icon file lies outside the file.");
  EXPECT_THROW(qm::platform::DecodeIconFile(IconFile({})), qm::Error);
  EXPECT_THROW(qm::platform::DecodeIconFile(QByteArray("\0\0\2\0\1\0", 6)), qm::Error);  // cursors
}

TEST(IconDecoder, ThousandsOfRandomCorruptionsNeverCrash) {
  const QByteArray bases[] = {
      Sample(1).Bytes(),  Sample(4).Bytes(),  Sample(8).Bytes(),
      Sample(24).Bytes(), Sample(32).Bytes(), IconFile({Sample(8).Bytes(), Sample(32).Bytes()})};
  std::mt19937 random(7u);
  int decoded = 0;
  int refused = 0;
  for (int round = 0; round < 6000; ++round) {
    const QByteArray& base = bases[round % std::size(bases)];
    QByteArray bytes = base;
    const int changes = 1 + static_cast<int>(random() % 3);
    for (int i = 0; i < changes && !bytes.isEmpty(); ++i) {
      const auto at = static_cast<qsizetype>(
          random() % static_cast<std::uint32_t>(std::min<qsizetype>(bytes.size(), 64)));
      if (random() % 8 == 0) {
        bytes.truncate(at);
      } else {
        bytes[at] = static_cast<char>(random());
      }
    }
    try {
      if (round % std::size(bases) == 5) {
        qm::platform::DecodeIconFile(bytes);
      } else {
        const QImage image = qm::platform::DecodeIconImage(bytes);
        ASSERT_LE(image.width(), qm::platform::kMaxIconSide);
      }
      ++decoded;
    } catch (const qm::Error& e) {
      ASSERT_EQ(e.number(), 13);
      ++refused;
    }
  }
  EXPECT_GT(decoded, 1000);
  EXPECT_GT(refused, 1000);
}

}  // namespace
