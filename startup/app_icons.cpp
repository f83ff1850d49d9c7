#include "startup/app_icons.h"

#include <QFile>
#include <QPixmap>

#include "platform/error.h"
#include "platform/icon_decoder.h"
#include "platform/program_resources.h"

namespace qm::startup {
namespace {

QImage FirstOf(const QList<QImage>& images) { return images.isEmpty() ? QImage() : images.first(); }

}  // namespace

QList<QImage> DesignTimeIconImages(const QString& name) {
  if (name.isEmpty() || name.contains(u'/')) {
    return {};
  }
  QFile file(QStringLiteral(":/qm/design/%1.ico").arg(name));
  if (!file.open(QIODevice::ReadOnly)) {
    return {};
  }
  try {
    return platform::DecodeIconFile(file.readAll());
  } catch (const Error&) {
    return {};
  }
}

bool ShowApplicationIcon(QWindow& window) {
  return platform::SetWindowIcons(window, QStringLiteral("App_XP"));
}

QImage ApplicationLogo() {
  return platform::DrawProgramIcon(QStringLiteral("App_32_XP"), Qt::white);
}

QIcon DesignTimeWindowIcon() {
  QIcon icon;
  for (const QImage& image : DesignTimeIconImages(QStringLiteral("frmMain"))) {
    icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

QImage ClassicLogo() { return FirstOf(DesignTimeIconImages(QStringLiteral("imgCSLogo"))); }

}  // namespace qm::startup
