// The engine's one way into the window: what a window does while a command
// runs.
//
// The commands (Verify Matches, the replace run, its review, undo) write the
// notes line, ask the confirmation question, show the wait cursor, the
// running state and how far a run has come, let pending window events run,
// pause and take the Cancel request only through this interface; the window implements it, tests
// fake it. What the user asked for reaches a command as a value read once when it starts
// (SearchCriteria); the one control read while a command goes on is "Include subfolders", which the
// folder walk reads on every level.
#pragma once

#include <QString>

#include <cstdint>

#include "engine/query/folder_scope.h"

namespace qm {

class WindowPort : public FolderWalkEvents {
 public:
  // FolderWalkEvents: IncludeSubfolders() reads the check box live;
  // ProcessEvents() lets pending window events run once.

  // Replaces the caption of the notes line.
  virtual void SetNotes(const QString& text) = 0;
  // The history combo box while it is shown, the plain text box otherwise.
  virtual void FocusSearchBox() = 0;
  virtual void FocusReplacementBox() = 0;

  // A modal Yes/No question with the exclamation icon, Yes the default;
  // true for Yes.
  virtual bool Confirm(const QString& title, const QString& question) = 0;

  // The confirmation question with a details text the user can unfold
  // (the preview of a run). A window without details asks Confirm.
  virtual bool ConfirmWithDetails(const QString& title, const QString& question,
                                  const QString& details) {
    static_cast<void>(details);
    return Confirm(title, question);
  }

  // The wait cursor on or off. Must not throw: it is also called while a
  // failure unwinds.
  virtual void SetBusyCursor(bool busy) = 0;
  // Running: the Exit button becomes Cancel and Start and Verify Matches are
  // disabled; not running gives Exit its caption back (the window enables
  // the buttons again when the whole command has ended). Must not throw, as
  // above.
  virtual void SetRunning(bool running) = 0;

  // How far a run that writes documents has come: `done` of `total`
  // (0 <= done <= total, total > 0), shown apart from the notes line, which
  // keeps its texts. The first call of a run begins the estimate of the
  // time left. A window that shows no progress ignores these; none of them
  // may throw (EndProgress is also called while a failure unwinds).
  // RunProgress (port_guards.h) makes the calls of a run.
  virtual void ShowProgress(std::int64_t /*done*/, std::int64_t /*total*/) {}
  // The run waits for the user, not for its documents (a question).
  virtual void PauseProgress(bool /*paused*/) {}
  // The run has ended, however it ended: no progress shows any longer.
  virtual void EndProgress() {}

  // Waits, keeping the run's pace.
  virtual void Pause(int milliseconds) = 0;
  // True once after the user asked to cancel or to close the window (the
  // request, the Cancel tag, is cleared).
  virtual bool TakeCancelRequest() = 0;
};

}  // namespace qm
