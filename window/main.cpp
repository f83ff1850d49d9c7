// QMReplace: one dialog window; closing it ends the program.
#include <QApplication>
#include <QFile>
#include <QFontDatabase>

#include <memory>

#include "engine/journal/run_journal.h"
#include "platform/desktop.h"
#include "platform/error.h"
#include "startup/qt_translations.h"
#include "text/texts.h"
#include "window/frm_main.h"

int main(int argc, char** argv) {
  qm::ConfigureSqliteForTheJournal();
  qm::platform::InitCommonControls();
  QApplication app(argc, argv);
  // The window asks for "Tahoma"; Debian's fonts-wine carries a face of that
  // name with the same metrics, outside the system's font folders.
  const QString tahoma = QStringLiteral("/usr/share/wine/fonts/tahoma.ttf");
  if (QFile::exists(tahoma)) {
    QFontDatabase::addApplicationFont(tahoma);
  }
  // Qt's own buttons and menus speak the language of the text table. Like
  // every start-up step after the icons, a failure here only costs the
  // translation, never the window.
  std::unique_ptr<QTranslator> qtWords;
  try {
    qtWords = qm::startup::InstallQtTranslations(qm::UserTextLanguage());
  } catch (const qm::Error&) {
  }
  qm::frmMain window;
  window.show();
  return app.exec();
}
