// Turns the image forms of Windows resources into QImages: an icon image (a
// DIB whose height counts its colour rows and its AND mask rows, or a PNG
// stream), a bitmap resource (a packed DIB without file header), and an ICO
// file (the program's own icons are kept in that form).
//
// The bytes may come from a file someone else wrote: every header field is
// checked against the bytes before it is used, sizes are computed without
// overflow, and anything malformed raises qm::Error (13, "LoadImage") with a
// description of what is wrong.
#pragma once

#include <QByteArrayView>
#include <QImage>
#include <QList>

namespace qm::platform {

// Icons are at most this wide and high; bitmap resources at most
// kMaxBitmapSide.
inline constexpr int kMaxIconSide = 256;
inline constexpr int kMaxBitmapSide = 1024;

// An RT_ICON image: a BITMAPINFOHEADER DIB (1, 4, 8, 24 or 32 bits per
// pixel, uncompressed) of twice the icon's height with its AND mask, or a
// PNG stream. Pixels whose mask bit is set are transparent; a 32-bit image
// whose alpha is not all 0 carries its own transparency. Gives ARGB32.
QImage DecodeIconImage(QByteArrayView bytes);

// A bitmap resource: a DIB of the same depths without mask, bottom-up or
// top-down. Gives RGB32.
QImage DecodeBitmap(QByteArrayView bytes);

// Every image of an ICO file, in the file's order.
QList<QImage> DecodeIconFile(QByteArrayView bytes);

}  // namespace qm::platform
