// QMReplace: one dialog window; closing it ends the program.
#include <QApplication>
#include <QFile>
#include <QFontDatabase>

#include "platform/desktop.h"
#include "window/frm_main.h"

int main(int argc, char** argv) {
  qm::platform::InitCommonControls();
  QApplication app(argc, argv);
  // The window asks for "Tahoma"; Debian's fonts-wine carries a face of that
  // name with the same metrics, outside the system's font folders.
  const QString tahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
  if (QFile::exists(tahoma)) {
    QFontDatabase::addApplicationFont(tahoma);
  }
  qm::frmMain window;
  window.show();
  return app.exec();
}
