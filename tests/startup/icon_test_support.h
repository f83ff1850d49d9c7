// Helpers for the icon tests: what colour a small picture mostly shows.
#pragma once

#include <QColor>
#include <QImage>
#include <QString>

#include <map>

namespace qm::icon_test {

// The colour family that most opaque, clearly coloured pixels belong to;
// "gray" when no pixel is clearly coloured, "none" for a null image.
inline QString DominantColour(const QImage& source) {
  if (source.isNull()) {
    return QStringLiteral("none");
  }
  const QImage image = source.convertToFormat(QImage::Format_ARGB32);
  std::map<QString, int> counts;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = QColor::fromRgba(image.pixel(x, y));
      if (c.alpha() < 128 || c.hsvSaturationF() < 0.3 || c.valueF() < 0.3) {
        continue;
      }
      const int h = c.hsvHue();
      const char* family = h < 15 || h >= 340 ? "red"
                           : h < 40           ? "orange"
                           : h < 70           ? "yellow"
                           : h < 170          ? "green"
                           : h < 195          ? "cyan"
                           : h < 260          ? "blue"
                                              : "magenta";
      ++counts[QString::fromLatin1(family)];
    }
  }
  QString best = QStringLiteral("gray");
  int most = 0;
  for (const auto& [family, count] : counts) {
    if (count > most) {
      best = family;
      most = count;
    }
  }
  return best;
}

}  // namespace qm::icon_test
