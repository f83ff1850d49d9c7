// How the engine's commands see frmMain: the criteria from its controls, the
// notes line, the confirmation question, the busy and running states, the
// pending-events pass, the pause and the Cancel request.
#pragma once

#include <memory>

#include "engine/run_journal.h"
#include "engine/window_port.h"

namespace qm {

class frmMain;

class FrmMainPort final : public WindowPort {
 public:
  explicit FrmMainPort(frmMain& window) : window_(window) {}

  bool IncludeSubfolders() override;
  void ProcessEvents() override;

  QString FieldText() override;
  QString SearchText() override;
  bool SearchHistoryVisible() override;
  bool RemoveMode() override;
  QString ReplacementText() override;
  QString Text(int id) override;
  void SetNotes(const QString& text) override;
  void FocusSearchBox() override;
  void FocusReplacementBox() override;
  bool Confirm(const QString& title, const QString& question) override;
  bool ConfirmWithDetails(const QString& title, const QString& question,
                          const QString& details) override;
  // The user's journal, opened on first use for this command.
  RunJournal* Journal() override;
  void SetBusyCursor(bool busy) override;
  void SetRunning(bool running) override;
  void Pause(int milliseconds) override;
  bool TakeCancelRequest() override;
  void SaveHistory() override;
  void RequestHostRefresh() override;

 private:
  frmMain& window_;
  bool busy_ = false;
  std::unique_ptr<RunJournal> journal_;
};

}  // namespace qm
