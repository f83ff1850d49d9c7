// The history of runs: the window's entry points (Ctrl+H and the entry of
// its context menu) and what the history asks of this window.
#include <QAction>

#include "engine/journal/redo_run.h"
#include "engine/journal/undo_run.h"
#include "text/texts.h"
#include "window/frm_main.h"
#include "window/frm_main_port.h"
#include "window/history_window.h"

namespace qm {
namespace {

class MainWindowActions final : public HistoryActions {
 public:
  MainWindowActions(frmMain& window, std::function<void(const std::function<void()>&)> run,
                    std::function<HostApplication*()> host)
      : window_(window), run_(std::move(run)), host_(std::move(host)) {}

  void Undo(const RunChoice& choice) override {
    run_([this, &choice] {
      FrmMainPort port(window_);
      UndoRun(port, port, *host_(), UserTextLanguage(), choice);
    });
  }
  void Redo(const RunChoice& choice) override {
    run_([this, &choice] {
      FrmMainPort port(window_);
      RedoRun(port, port, *host_(), UserTextLanguage(), choice);
    });
  }
  HostApplication* Host() override { return host_(); }

 private:
  frmMain& window_;
  std::function<void(const std::function<void()>&)> run_;
  std::function<HostApplication*()> host_;
};

}  // namespace

void frmMain::InstallHistory() {
  AddContextCommand(Text(history_text::kMenuEntry), "actHistory",
                    QKeySequence(Qt::CTRL | Qt::Key_H), &frmMain::History_Click);
  historyActions_ = std::make_unique<MainWindowActions>(
      *this, [this](const std::function<void()>& command) { RunCommand(command); },
      [this]() -> HostApplication* { return hostApplication_.get(); });
}

HistoryWindow* frmMain::History() const { return history_; }

void frmMain::History_Click() {
  if (history_) {
    history_->Refresh();
    history_->raise();
    history_->activateWindow();
    return;
  }
  RunCommand([this] {
    auto* history =
        new HistoryWindow(JournalFolder(), installation_.SettingsKey(), *historyActions_, this);
    history->setAttribute(Qt::WA_DeleteOnClose);
    history_ = history;
    history->show();
  });
}

}  // namespace qm
