#include "startup/app_icons.h"

#include <QFile>
#include <QPixmap>

#include "platform/error.h"
#include "platform/icon_decoder.h"

namespace qm::startup {
namespace {

QIcon IconOf(const QList<QImage>& images) {
  QIcon icon;
  for (const QImage& image : images) {
    icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

QImage FirstOf(const QList<QImage>& images) { return images.isEmpty() ? QImage() : images.first(); }

}  // namespace

QList<QImage> ProgramIconImages(const QString& resourceName) {
  if (resourceName.isEmpty() || resourceName.contains(u'/')) {
    return {};
  }
  QFile file(QStringLiteral(":/qm/icons/%1.ico").arg(resourceName));
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  try {
    return platform::DecodeIconFile(file.readAll());
  } catch (const Error&) {
    return {};
  }
}

QIcon ApplicationIcon() { return IconOf(ProgramIconImages(QStringLiteral("App_XP"))); }

QImage ApplicationLogo() { return FirstOf(ProgramIconImages(QStringLiteral("App_32_XP"))); }

QIcon DesignTimeWindowIcon() { return IconOf(ProgramIconImages(QStringLiteral("frmMain"))); }

QImage ClassicLogo() { return FirstOf(ProgramIconImages(QStringLiteral("imgCSLogo"))); }

}  // namespace qm::startup
