// The search options' toggles as the dialog wires them: inside the boxes they
// govern, read into the criteria for every field, remembered when Start saves
// the history, reached by their accelerators in each language; and every
// control named for screen readers in the user's language. What the options
// do to a search is the engine's (tests/engine).
#include <QAbstractButton>
#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShortcut>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "engine/query/search_field.h"
#include "platform/registry_store.h"
#include "startup/host_discovery.h"
#include "startup/search_option_settings.h"
#include "text/texts.h"
#include "window/frm_main_port.h"
#include "window/window_fixture.h"

namespace {

using qm::frmMain;
using qm::SearchOptions;
namespace reg = qm::platform::reg;

class OptionToggles : public qm::testing::WindowTest {
 protected:
  void SetUp() override { qm::user_dialogs::BeginScripted(); }

  std::vector<QToolButton*> SearchToggles() const {
    return {window->tglMatchCase, window->tglWholeWords, window->tglPattern};
  }

  void ChooseField(int index) {
    window->cboField->setCurrentIndex(index);
    window->cboField_Click();
  }

  SearchOptions Criteria() {
    qm::FrmMainPort port(*window);
    return port.ReadCriteria().options;
  }

  SearchOptions Stored() const {
    return qm::LoadSearchOptions(window->Installation().SettingsKey());
  }

  // Alt and a letter, to whatever has the focus; the toggle answers as a
  // button does to its accelerator, pressed for a moment and then toggled.
  static bool PressToggles(QToolButton* toggle, Qt::Key letter) {
    const bool before = toggle->isChecked();
    Press(letter, Qt::AltModifier);
    return QTest::qWaitFor([&] { return toggle->isChecked() != before; }, 2000);
  }

  struct Accelerator {
    QToolButton* toggle;
    Qt::Key letter;
    QString tip;
  };

  // Each toggle's accelerator toggles it on and off again without moving the
  // focus from the box the user types in; the tooltip names it. The last is
  // preserve case, as unavailable as its box in remove mode.
  void ExpectAcceleratorsToggle(const std::vector<Accelerator>& accelerators) {
    for (const auto& [toggle, letter, tip] : accelerators) {
      SCOPED_TRACE(toggle->objectName().toStdString());
      window->cboTextToSearch->setFocus();
      EXPECT_EQ(toggle->toolTip(), tip);
      EXPECT_TRUE(PressToggles(toggle, letter) && toggle->isChecked());
      EXPECT_TRUE(window->cboTextToSearch->hasFocus());
      EXPECT_TRUE(PressToggles(toggle, letter) && !toggle->isChecked());
    }
    window->optRemove->click();
    window->cboTextToSearch->setFocus();
    EXPECT_FALSE(PressToggles(window->tglPreserveCase, accelerators.back().letter));
    EXPECT_EQ(window->SearchOptionsChosen(), SearchOptions{});
  }

  // Every accelerator of the window, from the captions' "&" and the
  // shortcuts, appears once.
  void ExpectAcceleratorsUnique() {
    std::map<QString, int> seen;
    const auto add = [&](const QKeySequence& key) {
      if (!key.isEmpty()) {
        ++seen[key.toString(QKeySequence::PortableText).toLower()];
      }
    };
    for (const QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
      add(button->shortcut());  // set from a caption's "&" too
    }
    for (const QLabel* label : window->findChildren<QLabel*>()) {
      add(QKeySequence::mnemonic(label->text()));
    }
    for (const QGroupBox* group : window->findChildren<QGroupBox*>()) {
      add(QKeySequence::mnemonic(group->title()));
    }
    for (const QAction* action : window->actions()) {
      add(action->shortcut());
    }
    for (const QShortcut* shortcut : window->findChildren<QShortcut*>()) {
      add(shortcut->key());
    }
    for (const QToolButton* toggle : {window->tglMatchCase, window->tglWholeWords,
                                      window->tglPattern, window->tglPreserveCase}) {
      EXPECT_FALSE(toggle->shortcut().isEmpty()) << toggle->objectName().toStdString();
    }
    for (const auto& [key, count] : seen) {
      EXPECT_EQ(count, 1) << key.toStdString();
    }
  }

  struct Named {
    QWidget* control;
    QString name;
    int description;
  };

  // What a screen reader is told: the accessible name and description. Qt
  // on Linux names a combo box by its value and lets its label relation name
  // it; Windows readers get its accessible name: both are checked.
  static void ExpectNamed(const std::vector<Named>& controls, qm::TextLanguage language) {
    for (const Named& c : controls) {
      SCOPED_TRACE(c.control->objectName().toStdString());
      QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(c.control);
      ASSERT_NE(reader, nullptr);
      EXPECT_EQ(reader->text(QAccessible::Description), qm::Text(c.description, language));
      if (qobject_cast<QComboBox*>(c.control) == nullptr) {
        EXPECT_EQ(reader->text(QAccessible::Name), c.name);
      } else {
        EXPECT_EQ(c.control->accessibleName(), c.name);
        const auto labels = reader->relations(QAccessible::Label);
        ASSERT_EQ(labels.size(), 1);
        EXPECT_EQ(labels[0].first->text(QAccessible::Name), c.name);
      }
    }
  }
};

TEST_F(OptionToggles, SitInsideTheShownBoxAndGoIntoTheCriteriaForEveryField) {
  Open();
  frmMain& w = *window;
  EXPECT_EQ(Criteria(), SearchOptions{});
  for (int field = 0; field < static_cast<int>(qm::kFields.size()); ++field) {
    SCOPED_TRACE(field);
    ChooseField(field);
    QWidget* box = field == 0 ? static_cast<QWidget*>(w.cboTextToSearch) : w.txtTextToSearch;
    QLineEdit* typed = field == 0 ? w.cboTextToSearch->lineEdit() : w.txtTextToSearch;
    // Inside the part that shows the text (left of the combo box's arrow),
    // and the text kept clear of them.
    const QRect textArea(typed->mapTo(w.picFindTextHost, QPoint(0, 0)), typed->size());
    int left = textArea.right();
    for (QToolButton* toggle : SearchToggles()) {
      EXPECT_TRUE(toggle->isVisible());
      EXPECT_TRUE(box->geometry().contains(toggle->geometry()));
      EXPECT_TRUE(textArea.contains(toggle->geometry()));
      left = std::min(left, toggle->x());
    }
    // Typed to the end of a long text, the cursor stops short of them.
    typed->setText(QString(100, QLatin1Char('W')));
    typed->end(false);
    typed->repaint();  // the text scrolls as it is drawn
    const QRect cursor = typed->inputMethodQuery(Qt::ImCursorRectangle).toRect();
    EXPECT_LT(typed->mapTo(w.picFindTextHost, cursor.center()).x(), left);
    typed->clear();

    QTest::mouseClick(w.tglMatchCase, Qt::LeftButton);
    EXPECT_EQ(Criteria(), (SearchOptions{true, false, false, false}));
    QTest::mouseClick(w.tglWholeWords, Qt::LeftButton);
    QTest::mouseClick(w.tglPattern, Qt::LeftButton);
    EXPECT_EQ(Criteria(), (SearchOptions{true, true, true, false}));
    QTest::mouseClick(w.tglPreserveCase, Qt::LeftButton);
    QTest::mouseClick(w.tglMatchCase, Qt::LeftButton);
    EXPECT_EQ(Criteria(), (SearchOptions{false, true, true, true}));
    EXPECT_EQ(w.tglMatchCase->isChecked(), false);
    for (QToolButton* toggle : {w.tglWholeWords, w.tglPattern, w.tglPreserveCase}) {
      QTest::mouseClick(toggle, Qt::LeftButton);
    }
    EXPECT_EQ(Criteria(), SearchOptions{});
  }
  // Preserve case lies inside the replacement box, and keeps its state while
  // remove mode makes both unavailable.
  EXPECT_TRUE(w.txtTextToReplace->geometry().contains(w.tglPreserveCase->geometry()));
  QTest::mouseClick(w.tglPreserveCase, Qt::LeftButton);
  w.optRemove->click();
  EXPECT_FALSE(w.tglPreserveCase->isEnabled());
  EXPECT_TRUE(Criteria().preserveCase);
  w.optReplace->click();
  EXPECT_TRUE(w.tglPreserveCase->isEnabled());
}

// Loaded at start-up, saved when Start saves the history: a stored value
// that is not ours opens with all off and is replaced by the next save.
TEST_F(OptionToggles, AreRememberedWhenStartSavesTheHistory) {
  auto& store = qm::platform::SystemRegistry();
  const QString key = QString::fromLatin1(qm::kEnglishSettingsKey);
  ASSERT_EQ(store.CreateKey(reg::kCurrentUser, key), reg::kSuccess);
  ASSERT_EQ(store.SetValue(reg::kCurrentUser, key, qm::kOptionsValueName, reg::kDword,
                           QByteArray("\x1F\x00\x00\x00", 4)),
            reg::kSuccess);
  Open();
  ASSERT_EQ(window->Installation().SettingsKey(), key);
  EXPECT_EQ(window->SearchOptionsChosen(), SearchOptions{});
  QTest::mouseClick(window->tglWholeWords, Qt::LeftButton);
  QTest::mouseClick(window->tglPreserveCase, Qt::LeftButton);
  // The history is saved for a Title search only, and the options with it.
  ChooseField(1);
  window->txtTextToSearch->setText(QStringLiteral("abc"));
  window->cmdStart->click();
  EXPECT_EQ(Stored(), SearchOptions{});
  ChooseField(0);
  window->cboTextToSearch->setEditText(QStringLiteral("abc"));
  window->cmdStart->click();  // past the history, it fails for want of a host
  EXPECT_EQ(Stored(), (SearchOptions{false, true, false, true}));
  // Verify Matches saves nothing.
  QTest::mouseClick(window->tglPattern, Qt::LeftButton);
  window->cmdQuery->click();
  EXPECT_EQ(Stored(), (SearchOptions{false, true, false, true}));

  Open();
  EXPECT_EQ(window->SearchOptionsChosen(), (SearchOptions{false, true, false, true}));
}

TEST_F(OptionToggles, AcceleratorsToggleThemAndAreUniqueInEnglish) {
  Open();
  frmMain& w = *window;
  ExpectAcceleratorsToggle({{w.tglMatchCase, Qt::Key_C, "Match case (Alt+C)"},
                            {w.tglWholeWords, Qt::Key_W, "Whole words (Alt+W)"},
                            {w.tglPattern, Qt::Key_R, "Use pattern (regular expression) (Alt+R)"},
                            {w.tglPreserveCase, Qt::Key_P, "Preserve case (Alt+P)"}});
  ExpectAcceleratorsUnique();
}

TEST_F(OptionToggles, EveryControlIsNamedForScreenReadersInEnglish) {
  Open();
  frmMain& w = *window;
  namespace id = qm::control_text;
  ExpectNamed({{w.cboField, "Search in:", id::kFieldListHelp},
               {w.cboTextToSearch, "Search for:", id::kSearchHistoryHelp},
               {w.cboTextToSearch->lineEdit(), "Search for:", id::kSearchHistoryHelp},
               {w.txtTextToSearch, "Search for:", id::kSearchBoxHelp},
               {w.txtTextToReplace, "Replace found text with:", id::kReplacementHelp},
               {w.chkRecursion, "Include subfolders", id::kSubfoldersHelp},
               {w.lblNotes, "Notes: -", id::kNotesHelp},
               {w.tglMatchCase, "Match case", id::kMatchCaseHelp},
               {w.tglWholeWords, "Whole words", id::kWholeWordsHelp},
               {w.tglPattern, "Use pattern (regular expression)", id::kPatternHelp},
               {w.tglPreserveCase, "Preserve case", id::kPreserveCaseHelp}},
              qm::TextLanguage::English);
  // The notes line's name follows the note; the plain search box, once
  // shown, is the one its label names.
  w.lblNotes->setText(QStringLiteral("3 documents updated!"));
  EXPECT_EQ(QAccessible::queryAccessibleInterface(w.lblNotes)->text(QAccessible::Name),
            QStringLiteral("Notes: 3 documents updated!"));
  ChooseField(2);
  EXPECT_EQ(w.lblTextToSearch->buddy(), w.txtTextToSearch);
}

// Under Wine the language is the one the program starts in: these run again
// in a German Wine (tests/CMakeLists.txt).
using GermanControls = OptionToggles;

TEST_F(GermanControls, AcceleratorsToggleTheOptionsAndAreUnique) {
  qm::testing::ScopedEnv lang("LANG", "de_DE.UTF-8");
  Open();
  frmMain& w = *window;
  ExpectAcceleratorsToggle(
      {{w.tglMatchCase, Qt::Key_G, QString::fromUtf8("Groß-/Kleinschreibung beachten (Alt+G)")},
       {w.tglWholeWords, Qt::Key_W, "Nur ganzes Wort suchen (Alt+W)"},
       {w.tglPattern, Qt::Key_R, QString::fromUtf8("Regulären Ausdruck verwenden (Alt+R)")},
       {w.tglPreserveCase, Qt::Key_B,
        QString::fromUtf8("Groß-/Kleinschreibung beibehalten (Alt+B)")}});
  ExpectAcceleratorsUnique();
}

TEST_F(GermanControls, EveryControlIsNamedForScreenReaders) {
  qm::testing::ScopedEnv lang("LANG", "de_DE.UTF-8");
  Open();
  frmMain& w = *window;
  namespace id = qm::control_text;
  ExpectNamed(
      {{w.cboField, "Suchen in:", id::kFieldListHelp},
       {w.cboTextToSearch, "Suchen nach:", id::kSearchHistoryHelp},
       {w.txtTextToSearch, "Suchen nach:", id::kSearchBoxHelp},
       {w.txtTextToReplace, "Gefundenen Text ersetzen mit:", id::kReplacementHelp},
       {w.chkRecursion, "Auch in Unterordnern suchen", id::kSubfoldersHelp},
       {w.lblNotes, "Hinweise: -", id::kNotesHelp},
       {w.tglMatchCase, QString::fromUtf8("Groß-/Kleinschreibung beachten"), id::kMatchCaseHelp},
       {w.tglWholeWords, "Nur ganzes Wort suchen", id::kWholeWordsHelp},
       {w.tglPattern, QString::fromUtf8("Regulären Ausdruck verwenden"), id::kPatternHelp},
       {w.tglPreserveCase, QString::fromUtf8("Groß-/Kleinschreibung beibehalten"),
        id::kPreserveCaseHelp}},
      qm::TextLanguage::German);
}

}  // namespace
