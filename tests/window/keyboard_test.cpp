// The dialog driven by the keyboard as a Windows dialog is: Enter, Tab, the
// arrow keys and what typing leaves in the history box.
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "window/window_fixture.h"

namespace {

using qm::frmMain;
namespace admin = qm::hostadmin;

class Keyboard : public qm::testing::WindowTest {
 protected:
  void SetUp() override { qm::user_dialogs::BeginScripted(); }

  QWidget* Focused() const { return QApplication::focusWidget(); }

  void Focus(QWidget* control) {
    control->setFocus(Qt::OtherFocusReason);
    ASSERT_TRUE(control->hasFocus()) << control->objectName().toStdString();
  }

  void ChooseField(int index) {
    window->cboField->setCurrentIndex(index);
    window->cboField_Click();
  }

  bool ReplaceMode() const {
    return window->optReplace->isChecked() && window->txtTextToReplace->isEnabled() &&
           window->cmdStart->text() == window->Text(qm::text_id::kStartReplace);
  }
};

TEST_F(Keyboard, EnterOnAFocusedButtonClicksThatButtonOnly) {
  Open();
  frmMain& w = *window;
  QSignalSpy start(w.cmdStart, &QPushButton::clicked);
  QSignalSpy browse(w.cmdPickFolder, &QPushButton::clicked);
  QSignalSpy query(w.cmdQuery, &QPushButton::clicked);

  Focus(w.cmdPickFolder);
  Press(Qt::Key_Return);
  EXPECT_EQ(browse.size(), 1);
  Focus(w.cmdQuery);
  Press(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(query.size(), 1);
  EXPECT_EQ(start.size(), 0);
  Focus(w.cmdStart);
  Press(Qt::Key_Return);
  EXPECT_EQ(start.size(), 1);
  EXPECT_EQ(browse.size(), 1);
  EXPECT_EQ(query.size(), 1);

  // Exit closes the window and starts nothing: no question, no run.
  const int failuresBefore = static_cast<int>(qm::user_dialogs::ScriptedTranscript().size());
  Focus(w.cmdExit);
  Press(Qt::Key_Return);
  EXPECT_FALSE(w.isVisible());
  EXPECT_EQ(start.size(), 1);
  EXPECT_EQ(qm::user_dialogs::ScriptedTranscript().size(), failuresBefore);
}

TEST_F(Keyboard, TheFocusedButtonWearsTheDefaultLookAndStartGetsItBack) {
  Open();
  frmMain& w = *window;
  EXPECT_TRUE(w.cmdStart->isDefault());
  for (QPushButton* button : {w.cmdExit, w.cmdPickFolder, w.cmdQuery}) {
    Focus(button);
    EXPECT_TRUE(button->isDefault()) << button->objectName().toStdString();
    EXPECT_FALSE(w.cmdStart->isDefault()) << button->objectName().toStdString();
  }
  Focus(w.txtTextToReplace);
  EXPECT_TRUE(w.cmdStart->isDefault());
  EXPECT_FALSE(w.cmdQuery->isDefault());
}

TEST_F(Keyboard, EnterAnywhereElseClicksStartWhileItIsEnabled) {
  Open();
  frmMain& w = *window;
  QSignalSpy start(w.cmdStart, &QPushButton::clicked);
  std::vector<QWidget*> places = {w.cboTextToSearch, w.cboField, w.optReplace, w.txtTextToReplace};
  int expected = 0;
  for (QWidget* place : places) {
    Focus(place);
    Press(Qt::Key_Return);
    EXPECT_EQ(start.size(), ++expected) << place->objectName().toStdString();
  }
  ChooseField(1);
  ASSERT_TRUE(w.txtTextToSearch->hasFocus());
  Press(Qt::Key_Enter, Qt::KeypadModifier);
  EXPECT_EQ(start.size(), ++expected);
  w.optRemove->click();
  Focus(w.optRemove);
  Press(Qt::Key_Return);
  EXPECT_EQ(start.size(), ++expected);

  // A disabled Start (a run under way) is not clicked from anywhere.
  w.cmdStart->setEnabled(false);
  for (QWidget* place :
       {static_cast<QWidget*>(w.txtTextToSearch), static_cast<QWidget*>(w.cboField)}) {
    Focus(place);
    Press(Qt::Key_Return);
  }
  EXPECT_EQ(start.size(), expected);
  EXPECT_TRUE(w.isVisible());
}

TEST_F(Keyboard, TabEntersTheOptionGroupOnTheSelectedOptionOnly) {
  Open();
  frmMain& w = *window;
  Focus(w.cmdQuery);
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), w.optReplace);
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), w.txtTextToReplace);
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), w.optReplace);
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), w.cmdQuery);

  // Space where Tab lands never changes the mode.
  Press(Qt::Key_Tab);
  Press(Qt::Key_Space);
  EXPECT_TRUE(ReplaceMode());

  w.optRemove->click();
  Focus(w.cmdQuery);
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), w.optRemove);
  Press(Qt::Key_Space);
  EXPECT_TRUE(w.optRemove->isChecked());
  // The replacement box is disabled in remove mode: Tab goes round to Start.
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), w.cmdStart);
}

TEST_F(Keyboard, ArrowKeysSelectTheOtherOptionWithItsHandler) {
  Open();
  frmMain& w = *window;
  w.lblNotes->setText(QStringLiteral("old note"));
  Focus(w.optReplace);
  Press(Qt::Key_Up);
  EXPECT_TRUE(w.optRemove->isChecked());
  EXPECT_EQ(Focused(), w.optRemove);
  EXPECT_FALSE(w.txtTextToReplace->isEnabled());
  EXPECT_EQ(w.cmdStart->text(), QStringLiteral("Search and Remove"));
  EXPECT_EQ(w.lblNotes->text(), QStringLiteral("-"));

  // The group wraps round, and the replace handler hands the focus on to
  // the replacement box as a click does.
  Press(Qt::Key_Up);
  EXPECT_TRUE(ReplaceMode());
  EXPECT_EQ(Focused(), w.txtTextToReplace);

  for (int key : {Qt::Key_Down, Qt::Key_Right, Qt::Key_Left}) {
    Focus(w.optReplace);
    Press(key);
    EXPECT_TRUE(w.optRemove->isChecked()) << key;
    Focus(w.optRemove);
    Press(key);
    EXPECT_TRUE(ReplaceMode()) << key;
  }
}

TEST_F(Keyboard, TheCoveredSearchBoxTakesNoFocusWhileTitleIsChosen) {
  Open();
  frmMain& w = *window;
  Focus(w.cboField);
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), w.cmdQuery);
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), w.cboField);
  // Nor does a click on the place where it lies: the history box is on top.
  QTest::mouseClick(w.txtTextToSearch, Qt::LeftButton);
  EXPECT_NE(Focused(), w.txtTextToSearch);

  ChooseField(2);
  Focus(w.cboField);
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), w.txtTextToSearch);
  Focus(w.cboField);
  Press(Qt::Key_Backtab, Qt::ShiftModifier);
  EXPECT_EQ(Focused(), w.cmdPickFolder);  // past the hidden history box

  ChooseField(0);
  EXPECT_TRUE(w.cboTextToSearch->hasFocus());
  Focus(w.cboField);
  Press(Qt::Key_Tab);
  EXPECT_EQ(Focused(), w.cmdQuery);
}

// The arrow keys step through the fields as in a Windows list, the focus
// staying in the list, and each field brings its own search box.
TEST_F(Keyboard, TheArrowKeysStepThroughTheFieldsAndKeepTheFocus) {
  Open();
  frmMain& w = *window;
  Focus(w.cboField);
  for (const auto& [key, field] :
       {std::pair{Qt::Key_Down, 1}, {Qt::Key_Down, 2}, {Qt::Key_Up, 1}, {Qt::Key_Up, 0}}) {
    Press(key);
    EXPECT_EQ(w.cboField->currentIndex(), field);
    EXPECT_EQ(Focused(), w.cboField) << field;
    EXPECT_EQ(w.cboTextToSearch->isVisible(), field == 0) << field;
  }
}

// With the German default history, whose entries include "Druckversion - ".
class TypedText : public Keyboard {
 protected:
  void SetUp() override {
    Keyboard::SetUp();
    InstallHost(admin::HostEdition::German);
    std::vector<admin::NewDocument> docs;
    for (const char* title : {"Druckversion - Wetter", "Dr. Seltsam", "Andreas Gruss", "Ohne"}) {
      docs.push_back(
          {400, QString::fromUtf8(title), QString(), QStringLiteral("https://example.org/")});
    }
    admin::AddDocuments(collection, docs);
    Open();
    ASSERT_GE(window->cboTextToSearch->findText(QStringLiteral("Druckversion - ")), 0);
  }

  void Type(const QString& text) {
    Focus(window->cboTextToSearch);
    window->cboTextToSearch->lineEdit()->clear();
    QTest::keyClicks(Focused(), text);
  }

  QString SearchText() const { return window->cboTextToSearch->currentText(); }

  qm::testing::ScopedEnv lang{"LANG", "de_DE.UTF-8"};
};

TEST_F(TypedText, TypingDrLeavesDrWhateverComesNext) {
  frmMain& w = *window;
  Type(QStringLiteral("Dr"));
  EXPECT_EQ(SearchText(), QStringLiteral("Dr"));
  EXPECT_FALSE(w.cboTextToSearch->lineEdit()->hasSelectedText());

  Press(Qt::Key_Tab);
  EXPECT_EQ(SearchText(), QStringLiteral("Dr"));

  Type(QStringLiteral("Dr"));
  Press(Qt::Key_Return);  // Start: the check passes, the question is not answered
  EXPECT_EQ(SearchText(), QStringLiteral("Dr"));

  Type(QStringLiteral("Dr"));
  QTest::mouseClick(w.cmdQuery, Qt::LeftButton);
  EXPECT_EQ(SearchText(), QStringLiteral("Dr"));
  // Three titles hold "dr" in some case, the history entry only one.
  EXPECT_EQ(w.lblNotes->text(),
            QStringLiteral("3 Dokumente entsprechen den ausgewählten Kriterien."));
  EXPECT_TRUE(ReplaceMode());
}

TEST_F(TypedText, AnEntryTypedInAnotherCaseStaysAsTypedAndIsNoPick) {
  frmMain& w = *window;
  for (int leave : {Qt::Key_Tab, Qt::Key_Return}) {
    Type(QStringLiteral("druckversion - "));
    Press(leave);
    EXPECT_EQ(SearchText(), QStringLiteral("druckversion - ")) << leave;
    EXPECT_EQ(w.cboTextToSearch->currentIndex(), -1) << leave;
    EXPECT_TRUE(ReplaceMode()) << leave;
  }
  // Typed exactly as the entry it is still typed, not picked.
  Type(QStringLiteral("Druckversion - "));
  Press(Qt::Key_Tab);
  EXPECT_TRUE(ReplaceMode());
}

TEST_F(TypedText, PickingFromTheListStillPicks) {
  frmMain& w = *window;
  Focus(w.cboTextToSearch);
  Press(Qt::Key_Down);
  EXPECT_EQ(SearchText(), w.cboTextToSearch->itemText(0));
  EXPECT_TRUE(w.optRemove->isChecked());
}

}  // namespace
