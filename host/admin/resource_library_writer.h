// Writes the host's resource library: a resource-only module whose icons are
// named RT_GROUP_ICON resources, each with its RT_ICON images.
//
// The stand-in host installs one ("QMRes.dll" in its install folder) so that
// the tool finds the modern folder icons there, and tests build libraries of
// any content with it.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QString>

namespace qm::host {

// How one image of an icon is stored: a 32-bit DIB with its AND mask, as the
// resource compiler stores small icons, or a PNG stream, as large ones are.
enum class IconEncoding { Dib, Png };

struct IconResource {
  QString name;          // the group's name
  QList<QImage> images;  // one image per size, each 1 to 256 pixels wide and high
  IconEncoding encoding = IconEncoding::Dib;
};

// The RT_ICON form of one image (a DIB: BITMAPINFOHEADER with double height,
// 32-bit BGRA rows bottom-up, then the AND mask, set where alpha is 0).
QByteArray EncodeIconDib(const QImage& image);

// The module's bytes. Names are stored in capitals, as the resource compiler
// stores them; images are numbered from 1 in order. Throws qm::Error (87)
// for an icon without name or image, an image of an unusable size, or two
// icons whose names differ only in case.
QByteArray BuildIconLibrary(const QList<IconResource>& icons);

// Builds the module and replaces the file at path with it in one step.
// Throws qm::Error as BuildIconLibrary, or (29) when the file cannot be
// written; an existing file is then left as it was.
void WriteIconLibrary(const QString& path, const QList<IconResource>& icons);

// The host's modern folder icon set: the 28 names the tool asks for, each
// with a 16 by 16 image of the host's own design.
QList<IconResource> ModernIconResources();

// Writes ModernIconResources() to path.
void WriteModernIconLibrary(const QString& path);

}  // namespace qm::host
