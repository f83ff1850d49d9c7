// The history of runs through the real dialog and the real history window,
// offscreen, over a real stand-in collection and a real journal: three runs,
// the middle one undone from the history, looked into, two of its documents
// redone alone; the window's German texts; and its remembered size.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include "window/history_model.h"
#include "window/history_window.h"
#include "window/review_model.h"
#include "window/review_size.h"
#include "window/window_fixture.h"

namespace {

namespace admin = qm::hostadmin;
namespace dialogs = qm::user_dialogs;
using qm::HistoryModel;
using qm::HistoryWindow;
using qm::RunModel;
using qm::RunWindow;

class HistoryWindowTest : public qm::testing::WindowTest {
 protected:
  void SetUp() override {
    InstallHost();
    AddDocuments(4, QStringLiteral("Story %1 - Example NEWS"));
  }

  void Replace(const QString& search, const QString& replacement) {
    window->cboTextToSearch->setEditText(search);
    window->optReplace->click();
    window->txtTextToReplace->setText(replacement);
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  }

  HistoryWindow& OpenHistory() {
    QApplication::setActiveWindow(window.get());
    window->setFocus();
    Press(Qt::Key_H, Qt::ControlModifier);
    HistoryWindow* history = window->History();
    EXPECT_NE(history, nullptr);
    EXPECT_TRUE(history->isVisible());
    // Beside the dialog, not in front of it.
    EXPECT_FALSE(history->isModal());
    return *history;
  }

  static QString Cell(const HistoryWindow& history, int row, int column) {
    return history.Model().index(row, column).data().toString();
  }

  // Every row found, and what each document holds read (it follows the
  // rows a moment later, as a view asks for them).
  static void WaitUntilListed(RunWindow& inside) {
    RunModel& model = inside.Model();
    while (!model.Complete()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    for (int row = 0; row < model.rowCount(); ++row) {
      model.index(row, RunModel::kState).data();
    }
    while (model.StatesPending()) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
  }

  // Types a filter and presses Enter, which filters at once.
  static void Filter(RunWindow& inside, const QString& text) {
    inside.txtFilter->setText(text);
    QTest::keyClick(inside.txtFilter, Qt::Key_Return);
    WaitUntilListed(inside);
  }
};

TEST_F(HistoryWindowTest, TheMiddleOfThreeRunsUndoneLookedIntoAndTwoOfItsDocumentsRedone) {
  Open();
  dialogs::BeginScripted({true, true, true, true, true});
  Replace(QStringLiteral("Story"), QStringLiteral("Tale"));
  Replace(QStringLiteral(" - example news"), QStringLiteral(" (read)"));
  Replace(QStringLiteral("Tale 3"), QStringLiteral("Epic 3"));
  ASSERT_EQ(Titles(),
            (QStringList{"Tale 0 (read)", "Tale 1 (read)", "Tale 2 (read)", "Epic 3 (read)"}));

  HistoryWindow& history = OpenHistory();
  ASSERT_EQ(history.Model().rowCount(), 3);
  EXPECT_EQ(Cell(history, 1, HistoryModel::kSearch), QStringLiteral(" - example news"));
  EXPECT_EQ(Cell(history, 1, HistoryModel::kFolder), QStringLiteral("(entire collection)"));
  EXPECT_EQ(Cell(history, 1, HistoryModel::kMode), QStringLiteral("Replace"));
  EXPECT_EQ(Cell(history, 1, HistoryModel::kDocuments), QStringLiteral("4"));
  EXPECT_EQ(Cell(history, 1, HistoryModel::kState), QStringLiteral("Finished"));
  EXPECT_TRUE(history.lblUsage->text().startsWith(QStringLiteral("The journal keeps 3 runs (")));

  // The middle run, undone from the history with a question that names it.
  history.lstRuns->selectRow(1);
  ASSERT_TRUE(history.cmdUndo->isEnabled());
  history.cmdUndo->click();
  const QStringList transcript = dialogs::ScriptedTranscript();
  ASSERT_EQ(transcript.size(), 4);
  EXPECT_TRUE(transcript[3].contains(QStringLiteral("Do you want to undo the run of ")))
      << transcript[3].toStdString();
  EXPECT_TRUE(transcript[3].contains(QStringLiteral("? 3 documents of the collection 'Default'")));
  // The last run changed the fourth document since: it is left as that run
  // wrote it.
  EXPECT_EQ(Titles(), (QStringList{"Tale 0 - Example NEWS", "Tale 1 - Example NEWS",
                                   "Tale 2 - Example NEWS", "Epic 3 (read)"}));
  EXPECT_EQ(window->lblNotes->text(),
            QStringLiteral("3 documents restored, 1 left as they were because they changed "
                           "since."));
  EXPECT_TRUE(Cell(history, 1, HistoryModel::kState).startsWith(QStringLiteral("Undone on ")));
  EXPECT_FALSE(history.cmdUndo->isEnabled());
  EXPECT_TRUE(history.cmdRedo->isEnabled());

  // Inside: the documents, what was taken out marked, and each one's state;
  // the first two chosen and redone alone.
  history.LookInside([](RunWindow& inside) {
    QTimer::singleShot(0, &inside, [&inside] {
      WaitUntilListed(inside);
      RunModel& model = inside.Model();
      ASSERT_EQ(model.rowCount(), 4);
      EXPECT_EQ(model.index(0, RunModel::kBefore).data().toString(),
                QStringLiteral("Tale 0 - Example NEWS"));
      EXPECT_EQ(
          model.index(0, RunModel::kBefore).data(qm::ReviewModel::kSpansRole).value<QList<int>>(),
          (QList<int>{6, 15}));
      EXPECT_EQ(model.index(0, RunModel::kState).data().toString(), QStringLiteral("Restored"));
      EXPECT_EQ(model.index(3, RunModel::kState).data().toString(),
                QStringLiteral("Left, changed since: 'Epic 3 (read)'"));
      Filter(inside, QStringLiteral("TALE 3"));
      EXPECT_EQ(model.rowCount(), 1);
      Filter(inside, QString());
      ASSERT_EQ(model.rowCount(), 4);
      inside.lstDocuments->selectionModel()->select(
          QItemSelection(model.index(0, 0), model.index(1, RunModel::kColumns - 1)),
          QItemSelectionModel::ClearAndSelect);
      EXPECT_FALSE(inside.cmdUndo->isEnabled());
      ASSERT_TRUE(inside.cmdRedo->isEnabled());
      inside.cmdRedo->click();
    });
  });
  EXPECT_EQ(Titles(), (QStringList{"Tale 0 (read)", "Tale 1 (read)", "Tale 2 - Example NEWS",
                                   "Epic 3 (read)"}));
  EXPECT_EQ(window->lblNotes->text(),
            QStringLiteral("2 documents redone, 0 left as they were because they changed since."));
  ASSERT_EQ(history.Model().rowCount(), 4);
  EXPECT_EQ(Cell(history, 0, HistoryModel::kDocuments), QStringLiteral("2"));
  EXPECT_TRUE(
      Cell(history, 2, HistoryModel::kState).startsWith(QStringLiteral("Redone (by the run of ")));

  // Ctrl+Z in the dialog takes back the redo, the latest run.
  dialogs::BeginScripted({true});
  QApplication::setActiveWindow(window.get());
  QTest::keyClick(window.get(), Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(Titles()[0], QStringLiteral("Tale 0 - Example NEWS"));
  history.Refresh();
  EXPECT_TRUE(Cell(history, 2, HistoryModel::kState).startsWith(QStringLiteral("Undone on ")));
  history.close();
  EXPECT_EQ(qm::LoadWindowSize(window->Installation().SettingsKey(), qm::kHistorySizeValues),
            history.size());
}

TEST_F(HistoryWindowTest, GermanUsersGetGermanTexts) {
  qm::testing::ScopedEnv lang("LANG", "de_DE.UTF-8");
  Open();
  EXPECT_EQ(window->findChild<QAction*>(QStringLiteral("actHistory"))->text(),
            QString::fromUtf8("Verlauf der Läufe..."));
  dialogs::BeginScripted({true});
  window->cboTextToSearch->setEditText(QStringLiteral("Story"));
  window->optRemove->click();
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  HistoryWindow& history = OpenHistory();
  EXPECT_EQ(history.windowTitle(), QString::fromUtf8("Verlauf der Läufe"));
  EXPECT_EQ(history.Model().headerData(HistoryModel::kState, Qt::Horizontal, Qt::DisplayRole),
            QStringLiteral("Zustand"));
  EXPECT_EQ(Cell(history, 0, HistoryModel::kState), QStringLiteral("Beendet"));
  EXPECT_EQ(Cell(history, 0, HistoryModel::kField), QStringLiteral("Titel"));
  EXPECT_EQ(history.cmdRedo->text(), QStringLiteral("&Wiederholen..."));
  EXPECT_FALSE(history.cmdRedo->isEnabled());
  history.close();
}

}  // namespace
