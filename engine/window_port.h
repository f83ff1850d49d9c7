// The engine's one way into the window.
//
// The commands of the engine (Verify Matches, the replace run and the
// rewrite of one document) read the user's criteria, write the notes line,
// ask the confirmation question and keep the window responsive only through
// this interface; the window implements it, tests fake it. Reads return the
// controls' state at the moment of the call: the window may have let events
// run in between.
#pragma once

#include <QString>

#include "engine/folder_scope.h"
#include "engine/texts.h"

namespace qm {

class RunJournal;

class WindowPort : public FolderWalkEvents {
 public:
  // FolderWalkEvents: IncludeSubfolders() reads the check box live;
  // ProcessEvents() lets pending window events run once.

  // The current text of the field list (a display text of texts 113 to 115).
  virtual QString FieldText() = 0;
  // The search text exactly as typed: the history combo box while it is
  // shown, the plain text box otherwise.
  virtual QString SearchText() = 0;
  // Whether the history combo box is shown (the Title field is chosen).
  virtual bool SearchHistoryVisible() = 0;
  // True in remove mode, false in replace mode.
  virtual bool RemoveMode() = 0;
  // The text of the replacement box, whatever the mode.
  virtual QString ReplacementText() = 0;

  // A text of the text table in the user's language.
  virtual QString Text(int id) = 0;

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

  // The journal of runs, open for this command; null where no journal is
  // kept. Throws qm::Error when it cannot be opened or created.
  virtual RunJournal* Journal() { return nullptr; }

  // The wait cursor on or off. Must not throw: it is also called while a
  // failure unwinds.
  virtual void SetBusyCursor(bool busy) = 0;
  // Running: the Exit button becomes Cancel and Start and Verify Matches are
  // disabled; not running gives Exit its caption back (the window enables
  // the buttons again when the whole command has ended). Must not throw, as
  // above.
  virtual void SetRunning(bool running) = 0;

  // Waits, keeping the run's pace.
  virtual void Pause(int milliseconds) = 0;
  // True once after the user asked to cancel or to close the window (the
  // request is cleared).
  virtual bool TakeCancelRequest() = 0;

  // Writes the search-string history back; throws qm::Error when the
  // registry refuses.
  virtual void SaveHistory() = 0;
  // Asks the running host to refresh its folder tree; never fails.
  virtual void RequestHostRefresh() = 0;
};

}  // namespace qm
