#include "window/frm_main.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

#include "common/test_environment.h"
#include "engine/query/search_field.h"
#include "hostlib/host_library.h"
#include "window/twips.h"
#include "window/user_dialogs.h"
#include "window/window_fixture.h"

namespace {

using qm::frmMain;

// Every test gets its own settings, hence no host unless it installs one.
class Dialog : public ::testing::Test {
 protected:
  qm::testing::ScopedConfigHome config;
};

TEST_F(Dialog, WithoutAHostOpensWithItsCaptionsAndTheDesignTimeFolderLabel) {
  frmMain w;
  EXPECT_EQ(w.Host(), nullptr);
  EXPECT_EQ(w.selectedFolder, nullptr);
  EXPECT_TRUE(w.Installation().englishEdition);
  EXPECT_TRUE(w.Installation().installFolder.isEmpty());
  EXPECT_FALSE(w.ModernAppearance());

  EXPECT_EQ(w.windowTitle(), QStringLiteral("Quillmark - Search and Replace"));
  EXPECT_EQ(w.lblSelectedFolder->text(), QStringLiteral("lblSelectedFolder"));
  EXPECT_TRUE(w.imgFolderSelected->pixmap().isNull());
  EXPECT_EQ(w.imlFolders.Count(), 28);

  EXPECT_EQ(w.lblFolder->text(), QStringLiteral("Search the following collection or folder:"));
  EXPECT_EQ(w.cmdPickFolder->text(), QStringLiteral("Browse..."));
  EXPECT_EQ(w.chkRecursion->text(), QStringLiteral("Include subfolders"));
  EXPECT_EQ(w.cmdQuery->text(), QStringLiteral("Verify Matches"));
  EXPECT_EQ(w.lblTextToSearch->text(), QStringLiteral("Search for:"));
  EXPECT_EQ(w.lblField->text(), QStringLiteral("Search in:"));
  EXPECT_EQ(w.lblProgress->text(), QStringLiteral("Notes:"));
  EXPECT_EQ(w.optRemove->text(), QStringLiteral("Remove found text occurrences"));
  EXPECT_EQ(w.optReplace->text(), QStringLiteral("Replace found text with:"));
  EXPECT_EQ(w.Frame1->title(), QStringLiteral("1. Choose collection or folder to search"));
  EXPECT_EQ(w.Frame2->title(), QStringLiteral("2. Specify text to find"));
  EXPECT_EQ(w.Frame3->title(), QStringLiteral("3. Specify removal or replacement"));
  EXPECT_EQ(w.cmdExit->text(), QStringLiteral("Exit"));
  EXPECT_TRUE(w.lblDesc->text().startsWith(QStringLiteral("This tool enables you")));
}

TEST_F(Dialog, StartsInReplaceModeWithTitleChosenAndNothingToReport) {
  frmMain w;
  // Every field of the table, in its order, the first three as the window has always named them.
  ASSERT_EQ(w.cboField->count(), static_cast<int>(qm::kFields.size()));
  EXPECT_EQ(w.cboField->itemText(0), QStringLiteral("Title"));
  EXPECT_EQ(w.cboField->itemText(1), QStringLiteral("Comment"));
  EXPECT_EQ(w.cboField->itemText(2), QStringLiteral("Address"));
  EXPECT_EQ(w.cboField->currentIndex(), 0);
  EXPECT_FALSE(w.cboField->isEditable());

  EXPECT_TRUE(w.optReplace->isChecked());
  EXPECT_FALSE(w.optRemove->isChecked());
  EXPECT_TRUE(w.txtTextToReplace->isEnabled());
  EXPECT_TRUE(w.txtTextToReplace->text().isEmpty());
  EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Search and Replace"));

  EXPECT_FALSE(w.cboTextToSearch->isHidden());
  EXPECT_TRUE(w.cboTextToSearch->isEditable());
  EXPECT_TRUE(w.cboTextToSearch->currentText().isEmpty());
  EXPECT_TRUE(w.txtTextToSearch->text().isEmpty());
  EXPECT_TRUE(w.chkRecursion->isHidden());
  EXPECT_TRUE(w.chkRecursion->isChecked());
  EXPECT_EQ(w.lblNotes->text(), QStringLiteral("-"));
  EXPECT_EQ(w.focusWidget(), w.cmdStart);
  EXPECT_TRUE(w.cmdStart->isDefault());
  EXPECT_TRUE(w.cmdExit->property("Tag").toString().isEmpty());
}

TEST_F(Dialog, PlacesEveryControlFromItsTwips) {
  frmMain w;
  EXPECT_EQ(w.size(), QSize(qm::TwipsToPixels(7065), qm::TwipsToPixels(7380)));
  struct Case {
    QWidget* control;
    QWidget* container;
    int left, top, width, height;
  };
  const Case cases[] = {
      {w.Shape1, &w, 0, 0, 7740, 990},
      {w.picLogo, &w, 6360, 150, 570, 525},
      {w.imgCSLogo, &w, 6405, 150, 480, 480},
      {w.Frame1, &w, 165, 1185, 6735, 1590},
      {w.picCollectionFolderHost, w.Frame1, 240, 360, 6330, 1095},
      {w.imgFolderSelected, w.picCollectionFolderHost, 15, 315, 240, 240},
      {w.lblSelectedFolder, w.picCollectionFolderHost, 330, 345, 5325, 255},
      {w.cmdPickFolder, w.picCollectionFolderHost, 0, 660, 1650, 348},
      {w.chkRecursion, w.picCollectionFolderHost, 1830, 735, 3300, 195},
      {w.Frame2, &w, 165, 2970, 6735, 1365},
      {w.picFindTextHost, w.Frame2, 210, 375, 6465, 900},
      {w.lblField, w.picFindTextHost, 0, 45, 1290, 225},
      {w.lblTextToSearch, w.picFindTextHost, 0, 465, 1290, 225},
      {w.txtTextToSearch, w.picFindTextHost, 1365, 420, 3180, 300},
      {w.cmdQuery, w.picFindTextHost, 4695, 405, 1650, 345},
      {w.Frame3, &w, 165, 4530, 6735, 1470},
      {w.picReplaceHost, w.Frame3, 210, 300, 6330, 1035},
      {w.optRemove, w.picReplaceHost, 0, 0, 4770, 315},
      {w.optReplace, w.picReplaceHost, 0, 300, 4770, 315},
      {w.txtTextToReplace, w.picReplaceHost, 1365, 630, 3195, 300},
      {w.lblNotes, &w, 1755, 6150, 4755, 405},
      {w.cmdStart, &w, 3465, 6780, 1950, 375},
      {w.cmdExit, &w, 5490, 6780, 1410, 375},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control->objectName().toStdString());
    EXPECT_EQ(c.control->parentWidget(), c.container);
    EXPECT_EQ(c.control->geometry(), qm::TwipsRect(c.left, c.top, c.width, c.height));
  }
  // The description grows downwards into the white band when its text needs
  // more lines than designed (Windows sets Tahoma's lines further apart).
  EXPECT_EQ(w.lblDesc->pos(), QPoint(qm::TwipsToPixels(210), qm::TwipsToPixels(150)));
  EXPECT_EQ(w.lblDesc->width(), qm::TwipsToPixels(5775));
  EXPECT_GE(w.lblDesc->height(), qm::TwipsToPixels(705));
  EXPECT_LE(w.lblDesc->geometry().bottom(), w.Shape1->geometry().bottom());
  // Combo boxes take their height from their font; position and width are designed.
  for (QComboBox* combo : {w.cboField, w.cboTextToSearch}) {
    EXPECT_EQ(combo->x(), qm::TwipsToPixels(1365));
    EXPECT_EQ(combo->width(), qm::TwipsToPixels(3195));
  }
  EXPECT_EQ(w.cboTextToSearch->y(), qm::TwipsToPixels(420));
  EXPECT_EQ(w.lblProgress->pos(), QPoint(qm::TwipsToPixels(180), qm::TwipsToPixels(6165)));
  EXPECT_EQ(w.lblFolder->pos(), QPoint(0, 0));
}

TEST_F(Dialog, TabOrderFollowsTheDesign) {
  frmMain w;
  const QWidget* expected[] = {w.cmdStart,        w.cmdExit,    w.cmdPickFolder,   w.chkRecursion,
                               w.cboTextToSearch, w.cboField,   w.txtTextToSearch, w.cmdQuery,
                               w.optRemove,       w.optReplace, w.txtTextToReplace};
  const QWidget* current = w.cmdStart;
  for (std::size_t i = 1; i < std::size(expected); ++i) {
    // Skip what is no control of the order (labels, containers, the inner
    // line edit of the editable combo box). Whether Tab stops at a control
    // of the order at the moment is the keyboard's business, not the order's.
    do {
      current = current->nextInFocusChain();
    } while (std::find(std::begin(expected), std::end(expected), current) == std::end(expected));
    EXPECT_EQ(current, expected[i]) << "position " << i;
  }
}

TEST_F(Dialog, EveryControlAsksForTahoma) {
  frmMain w;
  w.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
  EXPECT_EQ(w.font().family(), QStringLiteral("Tahoma"));
  const QList<QWidget*> controls = w.findChildren<QWidget*>();
  ASSERT_GE(controls.size(), 28);
  for (const QWidget* control : controls) {
    EXPECT_EQ(control->font().family(), QStringLiteral("Tahoma"))
        << control->metaObject()->className() << " " << control->objectName().toStdString();
  }
}

TEST_F(Dialog, GermanUsersGetGermanTexts) {
  qm::testing::ScopedEnv lang("LANG", "de_AT.UTF-8");
  frmMain w;
  EXPECT_EQ(w.windowTitle(), QStringLiteral("Quillmarke - Suchen und Ersetzen"));
  EXPECT_EQ(w.cboField->itemText(1), QStringLiteral("Kommentar"));
  EXPECT_EQ(w.cmdExit->text(), QStringLiteral("Beenden"));
  EXPECT_EQ(w.cmdQuery->text(), QString::fromUtf8("Fundstellen prüfen"));
  w.optRemove_Click();
  EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Suchen und Entfernen"));
  // However long the German description runs in the system's font, its
  // label never reaches past the white band.
  EXPECT_LE(w.lblDesc->geometry().bottom(), w.Shape1->geometry().bottom());
}

// Handlers that only act on a shown window.
class ShownDialog : public qm::testing::WindowTest {
 protected:
  void SetUp() override {
    // Without a host a command reports a failure; it must never wait on a
    // modal box here.
    qm::user_dialogs::BeginScripted();
    Open();
  }
};

TEST_F(ShownDialog, ChoosingAFieldSwapsTheSearchBoxAndEmptiesIt) {
  frmMain& w = *window;
  w.cboTextToSearch->setEditText(QStringLiteral("abc"));
  w.lblNotes->setText(QStringLiteral("5 documents updated!"));

  w.cboField->setCurrentIndex(1);
  w.cboField_Click();
  EXPECT_TRUE(w.cboTextToSearch->isHidden());
  EXPECT_TRUE(w.txtTextToSearch->text().isEmpty());
  EXPECT_EQ(w.focusWidget(), w.txtTextToSearch);
  EXPECT_EQ(w.lblNotes->text(), QStringLiteral("-"));

  w.txtTextToSearch->setText(QStringLiteral("xyz"));
  w.cboField->setCurrentIndex(2);
  w.cboField_Click();
  EXPECT_TRUE(w.txtTextToSearch->text().isEmpty());

  w.cboTextToSearch->setEditText(QStringLiteral("left over"));
  w.cboField->setCurrentIndex(0);
  w.cboField_Click();
  EXPECT_FALSE(w.cboTextToSearch->isHidden());
  EXPECT_TRUE(w.cboTextToSearch->currentText().isEmpty());
}

TEST_F(Dialog, ChoosingAFieldBeforeTheWindowShowsDoesNothing) {
  frmMain w;
  w.lblNotes->setText(QStringLiteral("kept"));
  w.cboField->setCurrentIndex(1);
  w.cboField_Click();
  EXPECT_EQ(w.lblNotes->text(), QStringLiteral("kept"));
  EXPECT_FALSE(w.cboTextToSearch->isHidden());
}

TEST_F(ShownDialog, RemoveAndReplaceModesSwitchTheReplacementBoxAndStartCaption) {
  frmMain& w = *window;
  w.txtTextToReplace->setText(QStringLiteral("kept text"));
  w.lblNotes->setText(QStringLiteral("old note"));
  QTest::mouseClick(w.optRemove, Qt::LeftButton);
  EXPECT_TRUE(w.optRemove->isChecked());
  EXPECT_FALSE(w.txtTextToReplace->isEnabled());
  EXPECT_EQ(w.txtTextToReplace->palette().color(QPalette::Base),
            w.palette().color(QPalette::Button));
  EXPECT_EQ(w.txtTextToReplace->text(), QStringLiteral("kept text"));
  EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Search and Remove"));
  EXPECT_EQ(w.lblNotes->text(), QStringLiteral("-"));

  w.lblNotes->setText(QStringLiteral("old note"));
  QTest::mouseClick(w.optReplace, Qt::LeftButton);
  EXPECT_TRUE(w.txtTextToReplace->isEnabled());
  EXPECT_EQ(w.txtTextToReplace->palette().color(QPalette::Base), w.palette().color(QPalette::Base));
  EXPECT_EQ(w.focusWidget(), w.txtTextToReplace);
  EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Search and Replace"));
  EXPECT_EQ(w.lblNotes->text(), QStringLiteral("-"));
}

TEST_F(ShownDialog, PickingAHistoryEntrySwitchesToRemoveMode) {
  frmMain& w = *window;
  w.cboTextToSearch->addItem(QStringLiteral(" - Example News"));
  Q_EMIT w.cboTextToSearch->activated(0);
  EXPECT_TRUE(w.optRemove->isChecked());
  EXPECT_FALSE(w.txtTextToReplace->isEnabled());
  EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Search and Remove"));
}

TEST_F(ShownDialog, TypingClearsTheNotesExceptInThePlainSearchBox) {
  frmMain& w = *window;
  w.lblNotes->setText(QStringLiteral("note"));
  QTest::keyClick(w.cboTextToSearch->lineEdit(), Qt::Key_A);
  EXPECT_EQ(w.lblNotes->text(), QStringLiteral("-"));
  EXPECT_EQ(w.cboTextToSearch->currentText(), QStringLiteral("a"));

  w.lblNotes->setText(QStringLiteral("note"));
  QTest::keyClick(w.txtTextToReplace, Qt::Key_B);
  EXPECT_EQ(w.lblNotes->text(), QStringLiteral("-"));
  EXPECT_EQ(w.txtTextToReplace->text(), QStringLiteral("b"));

  w.cboField->setCurrentIndex(1);
  w.cboField_Click();
  w.lblNotes->setText(QStringLiteral("note"));
  QTest::keyClick(w.txtTextToSearch, Qt::Key_C);
  EXPECT_EQ(w.lblNotes->text(), QStringLiteral("note"));
}

TEST_F(ShownDialog, ExitClosesTheWindowWhenIdle) {
  QTest::mouseClick(window->cmdExit, Qt::LeftButton);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->Host(), nullptr);
}

TEST_F(ShownDialog, EscapeActsAsExit) {
  QTest::keyClick(window.get(), Qt::Key_Escape);
  EXPECT_FALSE(window->isVisible());
}

TEST_F(ShownDialog, CancelCaptionTurnsExitIntoAStopSignal) {
  frmMain& w = *window;
  w.cmdExit->setText(QStringLiteral("CANCEL"));  // the caption matches without regard to case
  QTest::mouseClick(w.cmdExit, Qt::LeftButton);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.cmdExit->property("Tag").toString(), QStringLiteral("CANCELED"));

  w.cmdExit->setProperty("Tag", QString());
  QTest::keyClick(&w, Qt::Key_Escape);
  EXPECT_TRUE(w.isVisible());
  EXPECT_EQ(w.cmdExit->property("Tag").toString(), QStringLiteral("CANCELED"));
}

TEST_F(ShownDialog, EnterStartsTheCommand) {
  QSignalSpy clicked(window->cmdStart, &QPushButton::clicked);
  window->cboTextToSearch->setEditText(QStringLiteral("abc"));  // past the input check
  QTest::keyClick(window->cboTextToSearch->lineEdit(), Qt::Key_Return);
  EXPECT_EQ(clicked.size(), 1);
  // Start ran, and without a host it told the user so.
  EXPECT_EQ(qm::user_dialogs::ScriptedTranscript().size(), 1);
  window->cmdStart->setEnabled(false);
  QTest::keyClick(window.get(), Qt::Key_Return);
  EXPECT_EQ(clicked.size(), 1);
}

TEST_F(Dialog, NamesOfCollectionsAndDocumentsAreNeverTakenForMarkup) {
  frmMain w;
  for (QLabel* label : {w.lblSelectedFolder, w.lblNotes, w.lblDesc}) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
  }
}

}  // namespace
