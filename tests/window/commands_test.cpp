// Verify Matches and Start as the dialog wires them: the controls that start,
// cancel and close a command, what the notes line, the focus and the buttons
// show, the real question box, the failure box, that the host hears of a run,
// and one whole run of each command over a real stand-in collection. What a
// run does with the documents is the engine's (tests/engine/replace_run_test.cpp).
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

#include "host/lib/message_endpoint.h"
#include "host/stand_in_host.h"
#include "hostlib/host_library.h"
#include "platform/taskbar_progress.h"
#include "startup/search_history.h"
#include "window/frm_main_port.h"
#include "window/run_progress_view.h"
#include "window/window_fixture.h"

namespace {

using qm::frmMain;
namespace admin = qm::hostadmin;
namespace dialogs = qm::user_dialogs;

class Commands : public qm::testing::WindowTest {
 protected:
  void SetUp() override {
    InstallHost();
    ASSERT_TRUE(endpoint.Listen()) << endpoint.ErrorString().toStdString();
  }

  // Lets the endpoint take what was sent. Waiting for a refresh ends as soon
  // as it is there; the limit only bounds a failing run, and is generous for a
  // machine busy with other work.
  int RefreshesReceived(QSignalSpy& spy, int atLeast) {
    QDeadlineTimer deadline(atLeast > 0 ? 60000 : 200);
    while (spy.size() < atLeast || (atLeast == 0 && !deadline.hasExpired())) {
      if (deadline.hasExpired()) {
        break;
      }
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return static_cast<int>(spy.size());
  }

  void Remove(const QString& search) {
    window->cboTextToSearch->setEditText(search);
    window->optRemove->click();
  }

  // A folder of the collection with `subfolders` empty subfolders below it,
  // so that a command starting there walks them and lets events run.
  std::int32_t AddFolderWithSubfolders(int subfolders) {
    const std::int32_t folder = admin::AddFolder(collection, 1, QStringLiteral("Walked"), 0);
    for (int i = 0; i < subfolders; ++i) {
      admin::AddFolder(collection, folder, QStringLiteral("Sub %1").arg(i), 0);
    }
    return folder;
  }
  void StartIn(std::int32_t folderId) {
    window->selectedFolder =
        window->Host()->Collections()->Item(QString::number(collection))->GetFolder(folderId);
  }

  // Runs `action` once, in the first event pass of a run's rewrite (Exit
  // reads Cancel then); the run's earlier passes, in the walk and before the
  // question, are left alone. True once it ran.
  std::function<bool()> OnceRewriting(QTimer& watch, std::function<void()> action) {
    auto acted = std::make_shared<bool>(false);
    watch.setInterval(0);
    QObject::connect(&watch, &QTimer::timeout, [this, acted, action = std::move(action)] {
      if (!*acted && window->cmdExit->text() == QStringLiteral("Cancel")) {
        *acted = true;
        action();
      }
    });
    watch.start();
    return [acted] { return *acted; };
  }

  struct CommandButtons {
    bool browse, verify, start;
    bool operator==(const CommandButtons&) const = default;
  };
  CommandButtons Buttons() const {
    return {window->cmdPickFolder->isEnabled(), window->cmdQuery->isEnabled(),
            window->cmdStart->isEnabled()};
  }
  static constexpr CommandButtons kAvailable{true, true, true};

  QTemporaryDir socketDir;
  qm::testing::ScopedEnv tmp{"TMPDIR", socketDir.path().toUtf8()};
  qm::host::MessageEndpoint endpoint;
};

TEST_F(Commands, VerifyMatchesCountsInTheNotesAndPutsTheCursorBack) {
  AddDocuments(3, QStringLiteral("Story %1 - Example News"));
  AddDocuments(2, QStringLiteral("Other %1"));
  Open();
  window->cboTextToSearch->setEditText(QStringLiteral("example news"));
  QTest::mouseClick(window->cmdQuery, Qt::LeftButton);
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("3 documents match selected critera."));
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(Commands, RemoveRewritesEveryMatchReportsAndRefreshesTheHost) {
  AddDocuments(4, QStringLiteral("Story %1 - Example News"));
  AddDocuments(1, QStringLiteral("Untouched %1"));
  QSignalSpy refreshes(&endpoint, &qm::host::MessageEndpoint::CommandReceived);
  Open();
  dialogs::BeginScripted({true});
  Remove(QStringLiteral(" - EXAMPLE news"));
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);

  const QStringList transcript = dialogs::ScriptedTranscript();
  ASSERT_EQ(transcript.size(), 1);
  EXPECT_EQ(transcript[0],
            QStringLiteral("question: Quillmark - Search and Replace | 4 documents contain the "
                           "string ' - EXAMPLE news' in the Title field. Are you sure you want to "
                           "remove these occurrences of the string?"));
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("4 documents updated!"));
  EXPECT_EQ(CountTitles(QStringLiteral("Example News")), 0);
  EXPECT_EQ(Titles().at(0), QStringLiteral("Story 0"));
  EXPECT_EQ(window->LastRun().updatedCount, 4);
  // The search text is in the history the settings key keeps.
  EXPECT_EQ(qm::LoadSearchHistory(window->Installation().SettingsKey(), 0x0409),
            QStringList{" - EXAMPLE news"});
  EXPECT_EQ(window->cmdExit->text(), QStringLiteral("Exit"));
  EXPECT_EQ(Buttons(), kAvailable);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  ASSERT_GE(RefreshesReceived(refreshes, 1), 1);
  EXPECT_EQ(refreshes[0][0].toString(), QStringLiteral("RefreshFolderTreeview"));
}

// Another field than Title: the search text comes from the plain box.
TEST_F(Commands, ReplaceAndFillInTheCommentField) {
  AddDocuments(2, QStringLiteral("A %1"), QStringLiteral("draft, DRAFT"));
  AddDocuments(3, QStringLiteral("B %1"), QString());
  Open();
  window->cboField->setCurrentIndex(1);
  window->cboField_Click();
  dialogs::BeginScripted({true, true});
  window->txtTextToSearch->setText(QStringLiteral("draft"));
  window->txtTextToReplace->setText(QStringLiteral("final"));
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("2 documents updated!"));

  window->txtTextToSearch->clear();
  window->txtTextToReplace->setText(QStringLiteral("none"));
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("3 documents updated!"));
  for (const auto& d : admin::ListDocuments(collection)) {
    EXPECT_EQ(d.comment, d.title.startsWith(QLatin1Char('A')) ? QStringLiteral("final, final")
                                                              : QStringLiteral("none"));
  }
  EXPECT_TRUE(dialogs::ScriptedTranscript().at(1).contains(
      QStringLiteral("3 documents contain the string '' in the Comment field. Are you sure you "
                     "want to replace these occurrences with 'none'?")));
}

// A text missing for Start: the focus goes to the box to fill in, the
// history box or the plain one, whichever the field shows.
TEST_F(Commands, AMissingTextPutsTheFocusInItsBox) {
  AddDocuments(2, QStringLiteral("Story %1"));
  Open();
  dialogs::BeginScripted({});
  window->optRemove->click();
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("Please type a search string."));
  EXPECT_EQ(window->focusWidget(), window->cboTextToSearch);

  window->optReplace->click();
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  EXPECT_EQ(window->lblNotes->text(),
            QStringLiteral("Please type a string that should be inserted."));
  EXPECT_EQ(window->focusWidget(), window->txtTextToReplace);

  window->cboField->setCurrentIndex(1);
  window->cboField_Click();
  window->optRemove->click();
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("Please type a search string."));
  EXPECT_EQ(window->focusWidget(), window->txtTextToSearch);
  EXPECT_TRUE(dialogs::ScriptedTranscript().isEmpty());
}

// Exit, which reads Cancel while the documents are rewritten, and Esc stop
// the run after the document in hand and take the request with them; the
// window stays. A second Start cannot begin inside the run.
TEST_F(Commands, ExitOrEscDuringTheRewriteCancelsAndTheWindowStays) {
  AddDocuments(300, QStringLiteral("Doc %1 - Example News"));
  const struct {
    const char* name;
    std::function<void(frmMain&)> cancel;
  } cases[] = {
      {"Exit", [](frmMain& w) { w.cmdExit->click(); }},
      {"Esc", [](frmMain& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
  };
  for (const auto& c : cases) {
    const int before = CountTitles(QStringLiteral("Example News"));
    Open();
    dialogs::BeginScripted({true});
    Remove(QStringLiteral(" - Example News"));
    QTimer watch;
    const auto acted = OnceRewriting(watch, [&] {
      EXPECT_FALSE(window->cmdStart->isEnabled()) << c.name;
      window->cmdStart->setEnabled(true);
      window->cmdStart->click();
      window->cmdStart->setEnabled(false);
      c.cancel(*window);
    });
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
    EXPECT_TRUE(acted()) << c.name;
    const int changed = before - CountTitles(QStringLiteral("Example News"));
    EXPECT_GT(changed, 0) << c.name;
    EXPECT_LT(changed, before) << c.name;
    EXPECT_EQ(window->LastRun().updatedCount, changed) << c.name;
    EXPECT_EQ(dialogs::ScriptedTranscript().size(), 1) << c.name;
    EXPECT_EQ(window->cmdExit->text(), QStringLiteral("Exit")) << c.name;
    EXPECT_TRUE(window->cmdExit->property("Tag").toString().isEmpty()) << c.name;
    EXPECT_TRUE(window->isVisible()) << c.name;
    dialogs::EndScripted();
  }
}

TEST_F(Commands, ClosingTheWindowDuringARunCancelsItThenCloses) {
  AddDocuments(300, QStringLiteral("Doc %1 - Example News"));
  Open();
  dialogs::BeginScripted({true});
  Remove(QStringLiteral(" - Example News"));
  QTimer watch;
  const auto acted = OnceRewriting(watch, [&] { window->close(); });
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  EXPECT_TRUE(acted());
  EXPECT_FALSE(window->isVisible());
  const int changed = 300 - CountTitles(QStringLiteral("Example News"));
  EXPECT_EQ(window->LastRun().updatedCount, changed);
  EXPECT_GT(changed, 0);
  EXPECT_LT(changed, 300);
}

// A save the host's database refuses in the middle of a run: the failure
// box, then the window as before the command.
TEST_F(Commands, AFailingSaveIsShownAndTheWindowIsPutBack) {
  AddDocuments(6, QStringLiteral("Doc %1 - Example News"));
  qm::testing::RefuseUpdatesOf(admin::ListCollections().at(0).file,
                               admin::ListDocuments(collection).at(3).entryId);
  Open();
  dialogs::BeginScripted({true});
  Remove(QStringLiteral(" - Example News"));
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);

  const QStringList transcript = dialogs::ScriptedTranscript();
  ASSERT_EQ(transcript.size(), 2);
  EXPECT_TRUE(transcript[1].startsWith(QStringLiteral("failure: Quillmark - Search and Replace")));
  EXPECT_TRUE(transcript[1].contains(QStringLiteral("the disk refused")))
      << transcript[1].toStdString();
  EXPECT_EQ(window->LastRun().updatedCount, 3);
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("3 documents updated!"));
  EXPECT_EQ(window->cmdExit->text(), QStringLiteral("Exit"));
  EXPECT_EQ(Buttons(), kAvailable);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(window->CommandRunning());
}

// The taskbar as the window's run sees it: every call, with the caption the
// window showed at that moment.
class RecordingTaskbar final : public qm::platform::TaskbarProgress {
 public:
  RecordingTaskbar(const QWidget& window, QStringList& calls) : window_(window), calls_(calls) {}
  void SetProgress(std::int64_t done, std::int64_t total) override {
    calls_ << QStringLiteral("%1/%2 %3").arg(done).arg(total).arg(window_.windowTitle());
  }
  void SetPaused(bool paused) override { calls_ << (paused ? "paused" : "resumed"); }
  void Clear() override { calls_ << QStringLiteral("clear ") + window_.windowTitle(); }

 private:
  const QWidget& window_;
  QStringList& calls_;
};

// While a run writes, the caption leads with how far it is and the taskbar
// button shows it too; a question meanwhile pauses the bar; afterwards the
// caption is the one it was and the bar is gone. The notes line keeps its
// texts.
TEST_F(Commands, ARunShowsHowFarItIsInTheCaptionAndTheTaskbarUntilItEnds) {
  AddDocuments(4, QStringLiteral("Story %1 - Example News"));
  Open();
  QStringList calls;
  window->Progress().UseTaskbar(std::make_unique<RecordingTaskbar>(*window, calls));
  const QString caption = window->windowTitle();
  dialogs::BeginScripted({true, true});
  Remove(QStringLiteral(" - Example News"));
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  EXPECT_EQ(calls,
            (QStringList{"0/4 0% - " + caption, "1/4 25% - " + caption, "2/4 50% - " + caption,
                         "3/4 75% - " + caption, "4/4 100% - " + caption, "clear " + caption}));
  EXPECT_EQ(window->windowTitle(), caption);
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("4 documents updated!"));

  calls.clear();
  qm::FrmMainPort port(*window);
  port.ShowProgress(1, 3);
  EXPECT_TRUE(port.Confirm(caption, QStringLiteral("Go on?")));
  port.EndProgress();
  EXPECT_EQ(calls, (QStringList{"1/3 33% - " + caption, "paused", "resumed", "clear " + caption}));
  // Without a run, a question leaves the bar alone.
  EXPECT_FALSE(port.Confirm(caption, QStringLiteral("Again?")));
  EXPECT_EQ(calls.size(), 4);
}

TEST(ProgressCaption, LeadsWithThePercentDoneAndTheMinutesLeftWhenKnown) {
  using qm::TextLanguage;
  const QString caption = QStringLiteral("Quillmark - Search and Replace");
  const struct {
    std::int64_t done, total;
    std::optional<std::int64_t> leftMs;
    TextLanguage language;
    const char* shows;
  } cases[] = {
      {1, 3, std::nullopt, TextLanguage::English, "33% - "},
      {2, 3, 1, TextLanguage::English, "66% (1 min left) - "},
      {999, 1000, 60001, TextLanguage::English, "99% (2 min left) - "},
      {1, 4, 180000, TextLanguage::German, "25 % (noch 3 min) - "},
      {4, 4, 0, TextLanguage::German, "100 % - "},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qm::ProgressCaption(caption, c.done, c.total, c.leftMs, c.language),
              QString::fromUtf8(c.shows) + caption)
        << c.done << " of " << c.total;
  }
}

TEST_F(Commands, GermanUsersGetGermanQuestionsAndNotes) {
  AddDocuments(1, QStringLiteral("Bericht %1 - Druckversion"));
  qm::testing::ScopedEnv lang("LANG", "de_DE.UTF-8");
  Open();
  dialogs::BeginScripted({true});
  window->cboTextToSearch->setEditText(QStringLiteral(" - Druckversion"));
  window->txtTextToReplace->setText(QStringLiteral("!"));
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  EXPECT_EQ(dialogs::ScriptedTranscript().at(0),
            QString::fromUtf8("question: Quillmarke - Suchen und Ersetzen | 1 Dokumente enthalten "
                              "die Zeichenkette ' - Druckversion' im Feld 'Titel'. Möchten Sie "
                              "diese Vorkommnisse mit '!' ersetzen?"));
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("1 Dokumente aktualisiert!"));
  window->cboTextToSearch->setEditText(QStringLiteral("abc"));
  QTest::mouseClick(window->cmdQuery, Qt::LeftButton);
  EXPECT_EQ(window->lblNotes->text(),
            QStringLiteral("Es wurde kein Dokument gefunden, das die Zeichenkette 'abc' im Feld "
                           "'Titel' beinhaltet."));
}

// The question as the user meets it: a real modal box, with the warning
// icon, Yes and No, Yes the default, and the preview behind its details. No
// leaves the documents as they are; Yes runs.
TEST_F(Commands, TheQuestionIsARealWarningBoxWithThePreviewBehindIt) {
  AddDocuments(2, QStringLiteral("Story %1 - Example News"));
  Open();
  Remove(QStringLiteral(" - Example News"));
  struct Seen {
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool yesIsDefault = false;
    QString title, text, details;
  } seen;
  const auto start = [&](QMessageBox::StandardButton answer) {
    return WhenModal<QMessageBox>(
        [&](QMessageBox& box) {
          seen = {box.icon(),
                  box.standardButtons(),
                  box.defaultButton() == box.button(QMessageBox::Yes),
                  box.windowTitle(),
                  box.text(),
                  box.detailedText()};
          box.button(answer)->click();
        },
        [&] { QTest::mouseClick(window->cmdStart, Qt::LeftButton); });
  };
  ASSERT_TRUE(start(QMessageBox::No));
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
  EXPECT_TRUE(seen.yesIsDefault);
  EXPECT_EQ(seen.title, QStringLiteral("Quillmark - Search and Replace"));
  EXPECT_TRUE(seen.text.startsWith(QStringLiteral("2 documents contain the string")));
  EXPECT_EQ(seen.details,
            QStringLiteral("Story 0 - Example News: 'Story 0 - Example News' becomes 'Story 0'\n"
                           "Story 1 - Example News: 'Story 1 - Example News' becomes 'Story 1'"));
  EXPECT_EQ(CountTitles(QStringLiteral("Example News")), 2);

  ASSERT_TRUE(start(QMessageBox::Yes));
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("2 documents updated!"));
  EXPECT_EQ(CountTitles(QStringLiteral("Example News")), 0);
}

// Exit, Esc or the close box while a Start still walks folders: no
// question, and the window closes.
TEST_F(Commands, ClosingBeforeTheQuestionStopsTheRunAndCloses) {
  const std::int32_t walked = AddFolderWithSubfolders(20);
  admin::AddDocuments(collection, {{walked, QStringLiteral("Doc - Example News"), {}, {}}});
  struct Case {
    const char* name;
    std::function<void(frmMain&)> close;
  };
  const Case cases[] = {
      {"close box", [](frmMain& w) { w.close(); }},
      {"Esc", [](frmMain& w) { QTest::keyClick(&w, Qt::Key_Escape); }},
      {"Exit", [](frmMain& w) { w.cmdExit->click(); }},
      {"Space on Exit, focused on purpose",
       [](frmMain& w) {
         w.cmdExit->setFocus(Qt::TabFocusReason);
         QTest::keyClick(w.cmdExit, Qt::Key_Space);
       }},
  };
  for (const auto& c : cases) {
    Open();
    StartIn(walked);
    dialogs::BeginScripted({true});
    Remove(QStringLiteral(" - Example News"));
    QTimer::singleShot(0, window.get(), [&] { c.close(*window); });
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
    EXPECT_TRUE(dialogs::ScriptedTranscript().isEmpty()) << c.name;
    EXPECT_FALSE(window->isVisible()) << c.name;
    dialogs::EndScripted();
  }
}

// A command clicked with the mouse disables the button it was clicked with.
// Space and Enter pressed while it walks the folders must not reach Exit
// through the focus that button gives up: the window stays, and a run asks
// its question before anything changes.
TEST_F(Commands, SpaceAndEnterDuringTheWalkDoNotClickExit) {
  const std::int32_t walked = AddFolderWithSubfolders(40);
  admin::AddDocuments(collection, {{walked, QStringLiteral("Doc - Example News"), {}, {}}});
  struct Case {
    const char* name;
    QPushButton* frmMain::*button;
    int questions;
    const char* notes;
  };
  const Case cases[] = {
      {"Start", &frmMain::cmdStart, 1, ""},
      {"Verify Matches", &frmMain::cmdQuery, 0, "1 documents match selected critera."},
  };
  for (const auto& c : cases) {
    Open();
    StartIn(walked);
    dialogs::BeginScripted({false});
    Remove(QStringLiteral(" - Example News"));
    bool pressed = false;
    QTimer::singleShot(0, window.get(), [&] {
      // Still walking: the question has not been asked.
      EXPECT_TRUE(dialogs::ScriptedTranscript().isEmpty()) << c.name;
      for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        QWidget* focused = QApplication::focusWidget();
        EXPECT_NE(focused, window->cmdExit) << c.name;
        QTest::keyClick(focused != nullptr ? focused : window.get(), key);
      }
      pressed = true;
    });
    QTest::mouseClick(window.get()->*c.button, Qt::LeftButton);
    EXPECT_TRUE(pressed) << c.name;
    EXPECT_TRUE(window->isVisible()) << c.name;
    EXPECT_EQ(dialogs::ScriptedTranscript().size(), c.questions) << c.name;
    EXPECT_EQ(CountTitles(QStringLiteral("Example News")), 1) << c.name;
    EXPECT_EQ(window->lblNotes->text(), QString::fromUtf8(c.notes)) << c.name;
    EXPECT_EQ(window->focusWidget(), window.get()->*c.button) << c.name;
    dialogs::EndScripted();
  }
}

TEST_F(Commands, ClosingDuringVerifyClosesWithoutACount) {
  const std::int32_t walked = AddFolderWithSubfolders(20);
  Open();
  StartIn(walked);
  window->cboTextToSearch->setEditText(QStringLiteral("x"));
  QTimer::singleShot(0, window.get(), [&] { window->close(); });
  QTest::mouseClick(window->cmdQuery, Qt::LeftButton);
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("-"));
}

// Browse, Verify Matches and Start look unavailable while any command runs,
// and are back however it ends.
TEST_F(Commands, CommandButtonsAreUnavailableWhileACommandRuns) {
  const std::int32_t walked = AddFolderWithSubfolders(3);
  AddDocuments(20, QStringLiteral("Doc %1 - Example News"));
  Open();
  const CommandButtons unavailable{false, false, false};

  StartIn(walked);
  std::optional<CommandButtons> duringVerify;
  QTimer::singleShot(0, window.get(), [&] { duringVerify = Buttons(); });
  QTest::mouseClick(window->cmdQuery, Qt::LeftButton);
  ASSERT_TRUE(duringVerify.has_value());
  EXPECT_EQ(*duringVerify, unavailable);
  EXPECT_EQ(Buttons(), kAvailable);

  StartIn(1);
  dialogs::BeginScripted({true});
  Remove(QStringLiteral(" - Example News"));
  std::optional<CommandButtons> duringRun;
  QTimer watch;
  OnceRewriting(watch, [&] { duringRun = Buttons(); });
  QTest::mouseClick(window->cmdStart, Qt::LeftButton);
  watch.stop();
  ASSERT_TRUE(duringRun.has_value());
  EXPECT_EQ(*duringRun, unavailable);
  EXPECT_EQ(Buttons(), kAvailable);
  EXPECT_EQ(window->lblNotes->text(), QStringLiteral("20 documents updated!"));
  // A click on Start leaves the focus on Start, not on the button the
  // focus fled to while Start was disabled.
  EXPECT_EQ(window->focusWidget(), window->cmdStart);
}

// Without a host, Start still answers a missing text with its note, and the
// failure box then speaks the user's language.
// Left out under Wine (a suite named *Posix gets the ctest label posix_only):
// the language is read in-process, one locale after another.
using CommandsPosix = Commands;

TEST_F(CommandsPosix, WithoutAHostTheInputIsCheckedFirstAndTheFailureIsLocalized) {
  qm::testing::ScopedConfigHome noHost;
  for (const char* lang : {"en_US.UTF-8", "de_DE.UTF-8"}) {
    const bool german = QByteArray(lang).startsWith("de");
    qm::testing::ScopedEnv language("LANG", lang);
    Open();
    dialogs::BeginScripted({});
    window->optRemove->click();
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
    EXPECT_EQ(window->lblNotes->text(), window->Text(qm::text_id::kNoSearchText)) << lang;
    window->optReplace->click();
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
    EXPECT_EQ(window->lblNotes->text(), window->Text(qm::text_id::kNoReplacementText)) << lang;
    EXPECT_TRUE(dialogs::ScriptedTranscript().isEmpty()) << lang;

    window->cboTextToSearch->setEditText(QStringLiteral("abc"));
    QTest::mouseClick(window->cmdStart, Qt::LeftButton);
    const QStringList transcript = dialogs::ScriptedTranscript();
    ASSERT_EQ(transcript.size(), 1) << lang;
    const QString expected =
        german ? QString::fromUtf8(
                     "failure: Quillmarke - Suchen und Ersetzen | Fehlernummer: 91\n"
                     "Quelle: QMReplace\n\nKeine Host-Anwendung verfügbar")
               : QStringLiteral(
                     "failure: Quillmark - Search and Replace | Error number: 91\n"
                     "Source: QMReplace\n\nNo host application is available");
    EXPECT_TRUE(transcript[0].startsWith(expected)) << transcript[0].toStdString();
    EXPECT_EQ(window->lblNotes->text(), QStringLiteral("-")) << lang;
    dialogs::EndScripted();
  }
}

TEST_F(Commands, WithoutAHostACommandReportsTheFailureAndTheWindowStaysUsable) {
  qm::testing::ScopedConfigHome noHost;
  Open();
  dialogs::BeginScripted({});
  window->cboTextToSearch->setEditText(QStringLiteral("abc"));
  QTest::mouseClick(window->cmdQuery, Qt::LeftButton);
  QTest::mouseClick(window->cmdPickFolder, Qt::LeftButton);
  const QStringList transcript = dialogs::ScriptedTranscript();
  ASSERT_EQ(transcript.size(), 2);
  EXPECT_TRUE(transcript[0].startsWith(QStringLiteral("failure:")));
  EXPECT_TRUE(window->cmdQuery->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

}  // namespace
