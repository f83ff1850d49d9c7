// The preview and undo through the real dialog, over real stand-in
// collections and a real journal in a data folder of the test's own.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "window/window_fixture.h"

namespace {

namespace admin = qm::hostadmin;
namespace dialogs = qm::user_dialogs;

class UndoWindow : public qm::testing::WindowTest {
 protected:
  void SetUp() override {
    InstallHost();
    std::vector<admin::NewDocument> docs;
    for (int i = 0; i < 5; ++i) {
      docs.push_back({400, QStringLiteral("Story %1 - Example NEWS").arg(i),
                      i % 2 == 0 ? QString() : QStringLiteral(""), QStringLiteral("u%1").arg(i)});
    }
    docs.push_back({400, QString(), QString(), QString()});
    admin::AddDocuments(collection, docs);
    before = Everything();
  }

  QStringList Everything() const {
    QStringList rows;
    for (const auto& d : admin::ListDocuments(collection)) {
      rows.append((d.title.isNull() ? "<null>" : d.title) + "|" +
                  (d.comment.isNull() ? "<null>" : d.comment) + "|" + d.url);
    }
    return rows;
  }

  void Replace(const QString& search, const QString& replacement) {
    window->cboTextToSearch->setEditText(search);
    window->optReplace->click();
    window->txtTextToReplace->setText(replacement);
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  }

  // To the widget with the focus, as a key press goes.
  void PressCtrlZ() {
    window->activateWindow();
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr ? focus : window.get(), Qt::Key_Z, Qt::ControlModifier);
  }

  QStringList before;
};

TEST_F(UndoWindow, PreviewThenCtrlZRestoresEveryDocument) {
  Open();
  dialogs::BeginScripted({true, true});
  Replace(QStringLiteral(" - example news"), QStringLiteral(" (read)"));
  ASSERT_EQ(window->lblNotes->text(), QStringLiteral("5 documents updated!"));
  EXPECT_EQ(
      dialogs::ScriptedDetails(),
      QStringList{"Story 0 - Example NEWS: 'Story 0 - Example NEWS' becomes 'Story 0 (read)'\n"
                  "Story 1 - Example NEWS: 'Story 1 - Example NEWS' becomes 'Story 1 (read)'\n"
                  "Story 2 - Example NEWS: 'Story 2 - Example NEWS' becomes 'Story 2 (read)'\n"
                  "Story 3 - Example NEWS: 'Story 3 - Example NEWS' becomes 'Story 3 (read)'\n"
                  "Story 4 - Example NEWS: 'Story 4 - Example NEWS' becomes 'Story 4 (read)'"});
  // Typing in a text box: the first Ctrl+Z takes back the typing, the next
  // one (nothing left to undo in the box) the run.
  QLineEdit* box = window->cboTextToSearch->lineEdit();
  box->setFocus();
  box->setText(QString());  // no history of its own yet
  QTest::keyClicks(box, QStringLiteral("x"));
  PressCtrlZ();
  EXPECT_EQ(dialogs::ScriptedTranscript().size(), 1);
  EXPECT_TRUE(box->text().isEmpty());
  PressCtrlZ();
  const QStringList transcript = dialogs::ScriptedTranscript();
  ASSERT_EQ(transcript.size(), 2);
  EXPECT_EQ(
      transcript[1],
      QStringLiteral("question: Quillmark - Search and Replace | Do you want to undo the last "
                     "run? It changed 5 documents of the collection 'Default' in the Title "
                     "field, replacing ' - example news' with ' (read)'."));
  EXPECT_EQ(Everything(), before);
  EXPECT_EQ(window->lblNotes->text(),
            QStringLiteral("5 documents restored, 0 left as they were because they changed "
                           "since."));
  EXPECT_EQ(window->cmdExit->text(), QStringLiteral("Exit"));
  EXPECT_TRUE(window->cmdStart->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(UndoWindow, ContextMenuEntryAndUndoAfterARestart) {
  Open();
  dialogs::BeginScripted({true});
  window->cboField->setCurrentIndex(1);
  window->txtTextToSearch->setText(QString());
  window->optReplace->click();
  window->txtTextToReplace->setText(QStringLiteral("no comment"));
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  ASSERT_EQ(window->lblNotes->text(), QStringLiteral("6 documents updated!"));
  window.reset();  // the program is closed and started again

  Open();
  EXPECT_EQ(window->contextMenuPolicy(), Qt::ActionsContextMenu);
  QAction* undo = window->findChild<QAction*>(QStringLiteral("actUndoLastRun"));
  ASSERT_NE(undo, nullptr);
  EXPECT_TRUE(window->actions().contains(undo));
  EXPECT_EQ(undo->text(), QStringLiteral("Undo last run..."));
  EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
  dialogs::BeginScripted({true});
  undo->trigger();
  EXPECT_EQ(Everything(), before);  // NULL and empty comments as they were
}

TEST_F(UndoWindow, CancelDuringUndoStopsAfterTheDocumentInHand) {
  AddDocuments(300, QStringLiteral("Many %1"));
  Open();
  dialogs::BeginScripted({true, true});
  Replace(QStringLiteral("Many"), QStringLiteral("Few"));
  bool sawCancel = false;
  QTimer::singleShot(150, window.get(), [&] {
    sawCancel = window->cmdExit->text() == QStringLiteral("Cancel");
    window->cmdExit->click();
  });
  PressCtrlZ();
  EXPECT_TRUE(sawCancel);
  const int restored = CountTitles(QStringLiteral("Many"));
  EXPECT_GT(restored, 0);
  EXPECT_LT(restored, 300);
  EXPECT_EQ(window->lblNotes->text(),
            QStringLiteral("%1 documents restored, 0 left as they were because they changed "
                           "since.")
                .arg(restored));
  EXPECT_EQ(window->cmdExit->text(), QStringLiteral("Exit"));
}

TEST_F(UndoWindow, UnwritableJournalStopsTheRunBeforeItsFirstDocument) {
  QFile blocker(JournalFolder());  // a file where the folder belongs
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  Open();
  dialogs::BeginScripted({true});
  Replace(QStringLiteral("Story"), QStringLiteral("Tale"));
  // The journal is opened before the question: nobody approves a run that
  // cannot be journaled.
  const QStringList transcript = dialogs::ScriptedTranscript();
  ASSERT_EQ(transcript.size(), 1);
  EXPECT_TRUE(transcript[0].startsWith(
      QStringLiteral("failure: Quillmark - Search and Replace | Error number: 0x80040011\n"
                     "Source: QMReplace.Journal")))
      << transcript[0].toStdString();
  EXPECT_EQ(Everything(), before);
  EXPECT_EQ(window->cmdExit->text(), QStringLiteral("Exit"));
}

TEST_F(UndoWindow, DamagedJournalIsMovedAsideAndSaidOnce) {
  QDir().mkpath(JournalFolder());
  {
    QFile damaged(JournalFolder() + QStringLiteral("/journal.sqlite"));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write(QByteArray(4096, '\x7f'));
  }
  Open();
  dialogs::BeginScripted({true, true});
  Replace(QStringLiteral("Story 1"), QStringLiteral("Tale 1"));
  const QString note = window->lblNotes->text();
  EXPECT_TRUE(
      note.startsWith(QStringLiteral("1 documents updated! The journal of runs was "
                                     "damaged. It was kept as '")))
      << note.toStdString();
  EXPECT_EQ(QDir(JournalFolder()).entryList({"journal.sqlite.damaged-*"}).size(), 1);
  Replace(QStringLiteral("Story 2"), QStringLiteral("Tale 2"));
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("1 documents updated!"));
}

}  // namespace
