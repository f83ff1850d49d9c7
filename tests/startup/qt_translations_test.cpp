#include "startup/qt_translations.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "common/test_environment.h"
#include "host/chooser/folder_chooser.h"

namespace {

using qm::TextLanguage;

// What a button or menu entry reads, without its mnemonic and shortcut.
QString Shown(QString text) {
  text = text.section(QLatin1Char('\t'), 0, 0);
  return text.remove(QLatin1Char('&'));
}

QStringList QuestionButtons() {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("t"), QStringLiteral("q"),
                  QMessageBox::Yes | QMessageBox::No);
  return {Shown(box.button(QMessageBox::Yes)->text()), Shown(box.button(QMessageBox::No)->text())};
}

QStringList ChooserButtons() {
  qm::host::FolderChooserDialog chooser({}, nullptr, QStringLiteral("c"), QStringLiteral("p"),
                                        QRect());
  const auto* box = chooser.findChild<QDialogButtonBox*>();
  if (box == nullptr) {
    return {};
  }
  return {Shown(box->button(QDialogButtonBox::Ok)->text()),
          Shown(box->button(QDialogButtonBox::Cancel)->text())};
}

QStringList TextBoxMenu() {
  QLineEdit edit;
  std::unique_ptr<QMenu> menu(edit.createStandardContextMenu());
  QStringList entries;
  for (const QAction* action : menu->actions()) {
    if (!action->isSeparator()) {
      entries.append(Shown(action->text()));
    }
  }
  return entries;
}

TEST(QtTranslations, GermanUsersGetQtsOwnWordsInGerman) {
  const std::unique_ptr<QTranslator> german =
      qm::startup::InstallQtTranslations(TextLanguage::German);
  ASSERT_NE(german, nullptr);
  EXPECT_EQ(QuestionButtons(), QStringList({QStringLiteral("Ja"), QStringLiteral("Nein")}));
  EXPECT_EQ(ChooserButtons(), QStringList({QStringLiteral("OK"), QStringLiteral("Abbrechen")}));
  const QStringList menu = TextBoxMenu();
  for (const char* entry :
       {"Rückgängig", "Ausschneiden", "Kopieren", "Einfügen", "Alles auswählen"}) {
    EXPECT_TRUE(menu.contains(QString::fromUtf8(entry)))
        << entry << ": " << menu.join(u'|').toStdString();
  }
}

TEST(QtTranslations, EnglishNeedsNoCatalogueAndTheWordsGoBackWithIt) {
  EXPECT_EQ(qm::startup::InstallQtTranslations(TextLanguage::English), nullptr);
  EXPECT_EQ(QuestionButtons(), QStringList({QStringLiteral("Yes"), QStringLiteral("No")}));

  // Dropping the German catalogue gives the English words back, so no test
  // and no window after it is left speaking German.
  qm::startup::InstallQtTranslations(TextLanguage::German).reset();
  EXPECT_EQ(QuestionButtons(), QStringList({QStringLiteral("Yes"), QStringLiteral("No")}));
  EXPECT_EQ(ChooserButtons(), QStringList({QStringLiteral("OK"), QStringLiteral("Cancel")}));
}

TEST(QtTranslations, TheCatalogueTravelsInsideTheProgram) {
  // Where no Qt translations are installed (the Windows build) the program
  // reads its own copy; the system's copy is never asked for.
  const std::unique_ptr<QTranslator> german = qm::startup::LoadQtTranslations(TextLanguage::German);
  ASSERT_NE(german, nullptr);
  EXPECT_EQ(german->filePath(), QStringLiteral(":/qm/translations/qtbase_de.qm"));
  EXPECT_TRUE(german->language().startsWith(QStringLiteral("de")));
}

}  // namespace
