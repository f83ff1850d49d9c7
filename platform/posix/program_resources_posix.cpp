#include "platform/program_resources.h"

#include <QFile>
#include <QIcon>
#include <QList>
#include <QPainter>
#include <QPixmap>
#include <QWindow>

#include "platform/error.h"
#include "platform/icon_decoder.h"

namespace qm::platform {
namespace {

constexpr qsizetype kBitmapFileHeader = 14;

// A compiled-in file by resource name; a name is never a path.
QByteArray CompiledIn(const QString& folder, const QString& name, const QString& suffix) {
  if (name.isEmpty() || name.contains(u'/')) {
    return {};
  }
  QFile file(QStringLiteral(":/qm/%1/%2%3").arg(folder, name, suffix));
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  return file.readAll();
}

// The images of an icon resource in stored order; the first is the one the
// system's loader takes at the natural size of the program's icons.
QList<QImage> IconImages(const QString& name) {
  const QByteArray bytes = CompiledIn(QStringLiteral("icons"), name, QStringLiteral(".ico"));
  if (bytes.isEmpty()) {
    return {};
  }
  try {
    return DecodeIconFile(bytes);
  } catch (const Error&) {
    return {};
  }
}

// At the natural size: the largest the program's icons hold, 32 by 32.
QImage NaturalImage(const QString& name) {
  QImage best;
  for (const QImage& image : IconImages(name)) {
    if (best.isNull() || image.width() > best.width()) {
      best = image;
    }
  }
  return best;
}

}  // namespace

QByteArray ProgramBitmap(const QString& name) {
  // The file carries the file header the resource compiler takes off.
  const QByteArray file = CompiledIn(QStringLiteral("classic"), name, QStringLiteral(".bmp"));
  if (file.size() <= kBitmapFileHeader || !file.startsWith("BM")) {
    return {};
  }
  return file.mid(kBitmapFileHeader);
}

QImage DrawProgramIcon(const QString& name, const QColor& background) {
  const QImage icon = NaturalImage(name);
  if (icon.isNull()) {
    return {};
  }
  QImage drawn(icon.size(), QImage::Format_RGB32);
  drawn.fill(background);
  QPainter painter(&drawn);
  painter.drawImage(0, 0, icon);
  return drawn;
}

bool SetWindowIcons(QWindow& window, const QString& name) {
  QIcon icon;
  for (const QImage& image : IconImages(name)) {
    icon.addPixmap(QPixmap::fromImage(image));
  }
  if (icon.isNull()) {
    return false;
  }
  window.setIcon(icon);
  return true;
}

}  // namespace qm::platform
