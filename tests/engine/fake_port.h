// The window as the engine sees it, for tests: controls are plain members,
// read into the command's criteria as the window reads its own; every effect
// goes to a log in the order it happened, and the answers to the
// confirmation question and to the cancel test are set by the test.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

#include "engine/command/command_services.h"
#include "engine/command/search_criteria.h"
#include "engine/command/window_port.h"
#include "engine/journal/run_journal.h"
#include "engine/journal/undo_run.h"
#include "engine/run/replace_run.h"
#include "platform/error.h"
#include "text/texts.h"

namespace qm::testing {

class FakePort : public WindowPort, public CommandServices {
 public:
  // The controls.
  QString fieldText = QStringLiteral("Title");
  QString searchText;
  bool removeMode = false;
  QString replacementText;
  bool includeSubfolders = true;
  SearchOptions options;
  TextLanguage language = TextLanguage::English;

  // Answers.
  bool confirmAnswer = true;
  // Called on every event pass with the number of passes so far; a test
  // sets `cancelRequested` or changes controls from here, as a click would.
  std::function<void(int)> onEvents;
  // Called in every pause with the number of pauses so far, as another
  // program's edit in those milliseconds would be.
  std::function<void(int)> onPause;
  bool cancelRequested = false;
  bool failSaveHistory = false;

  // What happened.
  QStringList log;
  QStringList notes;
  QStringList questions;
  // The details of each confirmation that had any.
  QStringList details;
  // The journal the commands write to; none when null.
  RunJournal* journal = nullptr;
  // What the notes line showed when each refresh was asked for.
  QStringList notesAtRefresh;
  // The run's progress as it was shown, apart from the log: "done/total",
  // "paused", "resumed" and "end".
  QStringList progress;
  int eventPasses = 0;
  int pauses = 0;
  int lastPauseMs = 0;
  bool busy = false;
  bool running = false;

  // The criteria as the window reads them from its controls: the field from
  // the field list's text in the window's language.
  SearchCriteria Criteria(StartFolderSource startFolder) const {
    SearchCriteria criteria;
    criteria.language = language;
    criteria.field = FieldFromDisplayText(fieldText, DisplayTextsOf(language));
    criteria.searchText = searchText;
    criteria.removeMode = removeMode;
    criteria.replacementText = replacementText;
    criteria.options = options;
    criteria.startFolder = std::move(startFolder);
    return criteria;
  }
  SearchCriteria Criteria(std::shared_ptr<HostFolder> folder) const {
    return Criteria(TheFolder(std::move(folder)));
  }

  bool IncludeSubfolders() override { return includeSubfolders; }
  void SetNotes(const QString& text) override { notes.append(text); }
  void FocusSearchBox() override { log.append(QStringLiteral("focus search")); }
  void FocusReplacementBox() override { log.append(QStringLiteral("focus replacement")); }
  bool Confirm(const QString& title, const QString& question) override {
    log.append(QStringLiteral("confirm ") + title);
    questions.append(question);
    return confirmAnswer;
  }
  bool ConfirmWithDetails(const QString& title, const QString& question,
                          const QString& details) override {
    this->details.append(details);
    return Confirm(title, question);
  }
  RunJournal* Journal() override { return journal; }
  void SetBusyCursor(bool on) override {
    busy = on;
    log.append(on ? QStringLiteral("busy") : QStringLiteral("idle"));
  }
  void SetRunning(bool on) override {
    running = on;
    log.append(on ? QStringLiteral("running") : QStringLiteral("stopped"));
  }
  void ShowProgress(std::int64_t done, std::int64_t total) override {
    progress.append(QStringLiteral("%1/%2").arg(done).arg(total));
  }
  void PauseProgress(bool paused) override {
    progress.append(paused ? QStringLiteral("paused") : QStringLiteral("resumed"));
  }
  void EndProgress() override { progress.append(QStringLiteral("end")); }
  void ProcessEvents() override {
    ++eventPasses;
    if (onEvents) {
      onEvents(eventPasses);
    }
  }
  void Pause(int milliseconds) override {
    ++pauses;
    lastPauseMs = milliseconds;
    if (onPause) {
      onPause(pauses);
    }
  }
  bool TakeCancelRequest() override {
    const bool taken = cancelRequested;
    cancelRequested = false;
    return taken;
  }
  void SaveHistory() override {
    if (failSaveHistory) {
      throw Error(26001, QStringLiteral("cRegistry"), QStringLiteral("write refused"));
    }
    log.append(QStringLiteral("save history"));
  }
  void RequestHostRefresh() override {
    log.append(QStringLiteral("refresh"));
    notesAtRefresh.append(notes.isEmpty() ? QString() : notes.last());
  }
};

// The replace run as the window starts it: the criteria read from the
// fake's controls at the start, and the run's state kept in `state` also
// when the run fails, as the window keeps it.
template <typename Folder>
void Replace(FakePort& port, Folder&& folder, RunState& state) {
  try {
    state = ReplaceRun(port, port, port.Criteria(std::forward<Folder>(folder)));
  } catch (const FailedRun& failure) {
    state = failure.state();
    throw;
  }
}

inline UndoCounts Undo(FakePort& port, HostApplication& host) {
  return UndoLastRun(port, port, host, port.language);
}

}  // namespace qm::testing
