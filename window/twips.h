// Positions and sizes in the window are designed in twips; the screen wants
// pixels. At 96 dpi a pixel is 15 twips (Qt scales further for high-DPI).
#pragma once

#include <QRect>

#include <cmath>

namespace qm {

constexpr int kTwipsPerPixel = 15;

constexpr int TwipsToPixels(int twips) {
  // Round half away from zero, as the toolkit's own conversion does.
  return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                    : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

constexpr int PixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

inline QRect TwipsRect(int left, int top, int width, int height) {
  return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
               TwipsToPixels(height));
}

}  // namespace qm
