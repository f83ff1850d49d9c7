// How the engine's commands see frmMain: what the window does while a
// command runs (the notes line, the question, the busy and running states,
// the run's progress, the pending-events pass, the pause, the Cancel
// request), the services it
// gives them (the history, the host refresh, the journal), and the criteria
// read from its controls once, when a command starts.
#pragma once

#include <memory>

#include "engine/command/command_services.h"
#include "engine/command/search_criteria.h"
#include "engine/command/window_port.h"
#include "engine/journal/run_journal.h"

namespace qm {

class frmMain;

class FrmMainPort final : public WindowPort, public CommandServices {
 public:
  explicit FrmMainPort(frmMain& window) : window_(window) {}

  // What the controls say now: the field from the field list's text, the
  // search text from the history combo box while it is shown (the plain box
  // otherwise), the mode, the replacement box, the start folder when it is
  // asked for (it fails without a host or a folder), the search options
  // from their toggles, the user's language.
  SearchCriteria ReadCriteria();

  bool IncludeSubfolders() override;
  void ProcessEvents() override;
  void SetNotes(const QString& text) override;
  void FocusSearchBox() override;
  void FocusReplacementBox() override;
  bool Confirm(const QString& title, const QString& question) override;
  bool ConfirmWithDetails(const QString& title, const QString& question,
                          const QString& details) override;
  void SetBusyCursor(bool busy) override;
  void SetRunning(bool running) override;
  // In the caption and the taskbar button (run_progress_view.h); a
  // question asked meanwhile shows the taskbar's bar as paused.
  void ShowProgress(std::int64_t done, std::int64_t total) override;
  void PauseProgress(bool paused) override;
  void EndProgress() override;
  void Pause(int milliseconds) override;
  bool TakeCancelRequest() override;

  void SaveHistory() override;
  void RequestHostRefresh() override;
  // The user's journal, opened on first use for this command.
  RunJournal* Journal() override;

 private:
  bool SearchHistoryVisible() const;

  frmMain& window_;
  bool busy_ = false;
  std::unique_ptr<RunJournal> journal_;
};

}  // namespace qm
