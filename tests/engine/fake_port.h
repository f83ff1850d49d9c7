// The window as the engine sees it, for tests: controls are plain members,
// every effect goes to a log in the order it happened, and the answers to
// the confirmation question and to the cancel test are set by the test.
#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <initializer_list>
#include <span>

#include "engine/run_journal.h"
#include "engine/texts.h"
#include "engine/window_port.h"
#include "platform/error.h"

namespace qm::testing {

// The texts the window answers, from the program's own tables, in English
// or German.
inline QMap<int, QString> WindowTexts(bool german) {
  QMap<int, QString> texts;
  for (const std::span<const TextRow> rows :
       {std::span<const TextRow>(kTableTexts), std::span<const TextRow>(kUndoTexts),
        std::span<const TextRow>(kReviewTexts)}) {
    for (const TextRow& row : rows) {
      texts.insert(row.id, TextIn(row, german));
    }
  }
  return texts;
}

inline QMap<int, QString> EnglishTexts() { return WindowTexts(false); }
inline QMap<int, QString> GermanTexts() { return WindowTexts(true); }

class FakePort : public WindowPort {
 public:
  // The controls.
  QString fieldText = QStringLiteral("Title");
  QString searchText;
  bool historyVisible = true;
  bool removeMode = false;
  QString replacementText;
  bool includeSubfolders = true;
  QMap<int, QString> texts = EnglishTexts();

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
  int eventPasses = 0;
  int pauses = 0;
  bool busy = false;
  bool running = false;

  QString FieldText() override { return fieldText; }
  QString SearchText() override { return searchText; }
  bool SearchHistoryVisible() override { return historyVisible; }
  bool RemoveMode() override { return removeMode; }
  QString ReplacementText() override { return replacementText; }
  bool IncludeSubfolders() override { return includeSubfolders; }
  QString Text(int id) override {
    if (!texts.contains(id)) {
      throw Error(-1, QStringLiteral("FakePort"), QStringLiteral("no text %1").arg(id));
    }
    return texts.value(id);
  }
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

  int lastPauseMs = 0;
};

}  // namespace qm::testing
