// The window's commands: Browse, Verify Matches and Start, and what keeps
// them from running into each other.
#include <QApplication>
#include <QCloseEvent>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <exception>
#include <initializer_list>
#include <utility>
#include <vector>

#include "engine/run/replace_run.h"
#include "engine/run/verify_matches.h"
#include "hostlib/host_library.h"
#include "platform/error.h"
#include "text/texts.h"
#include "window/frm_main.h"
#include "window/frm_main_port.h"
#include "window/user_dialogs.h"

namespace qm {
namespace {

// The buttons that start a command look unavailable while one runs, instead
// of swallowing the click; afterwards they are as they were, however the
// command ended. Unless the command puts the focus somewhere on purpose, it
// goes back to where it was.
class CommandButtonsLocked {
 public:
  CommandButtonsLocked(QWidget& window, std::initializer_list<QPushButton*> buttons)
      : window_(window), focus_(window.focusWidget()) {
    // A disabled button hands its focus on to the next control in the tab
    // order, which after Start is Exit: the Space or Enter a user presses
    // just after clicking Start would close the window. The window itself
    // holds it instead, where Enter finds Start disabled, Space does nothing
    // and Esc still means Exit.
    if (std::find(buttons.begin(), buttons.end(), focus_.data()) != buttons.end()) {
      window.setFocus(Qt::OtherFocusReason);
    }
    for (QPushButton* button : buttons) {
      saved_.emplace_back(button, button->isEnabled());
      button->setEnabled(false);
    }
    movedTo_ = window_.focusWidget();
  }
  ~CommandButtonsLocked() {
    for (const auto& [button, enabled] : saved_) {
      if (button) {
        button->setEnabled(enabled);
      }
    }
    if (focus_ && focus_ != movedTo_ && window_.focusWidget() == movedTo_) {
      focus_->setFocus();
    }
  }
  CommandButtonsLocked(const CommandButtonsLocked&) = delete;
  CommandButtonsLocked& operator=(const CommandButtonsLocked&) = delete;

 private:
  QWidget& window_;
  QPointer<QWidget> focus_;
  QPointer<QWidget> movedTo_;
  std::vector<std::pair<QPointer<QPushButton>, bool>> saved_;
};

}  // namespace

void frmMain::RunCommand(const std::function<void()>& command) {
  if (commandRunning_) {
    return;
  }
  commandRunning_ = true;
  {
    CommandButtonsLocked locked(*this, {cmdPickFolder, cmdQuery, cmdStart});
    try {
      command();
    } catch (const Error& error) {
      user_dialogs::ShowFailure(this, Text(text_id::kCaption), error);
    } catch (const std::exception& failure) {
      user_dialogs::ShowFailure(
          this, Text(text_id::kCaption),
          Error(-1, QStringLiteral("QMReplace"), QString::fromUtf8(failure.what())));
    }
  }
  ForgetTypingUndo();
  commandRunning_ = false;
  if (closeRequested_) {
    closeRequested_ = false;
    close();
  }
}

void frmMain::cmdPickFolder_Click() {
  RunCommand([this] { BrowseForFolder(); });
}

HostFolder& frmMain::RequireSelectedFolder() const {
  RequireHost();
  if (!selectedFolder) {
    throw Error(91, QStringLiteral("QMReplace"), Text(own_text::kNoStartFolder));
  }
  return *selectedFolder;
}

std::shared_ptr<HostFolder> frmMain::RequireStartFolder() const {
  RequireSelectedFolder();
  return selectedFolder;
}

void frmMain::cmdQuery_Click() {
  RunCommand([this] {
    FrmMainPort port(*this);
    VerifyMatches(port, port.ReadCriteria());
  });
}

void frmMain::KeepRunState(const std::function<RunState()>& run) {
  try {
    runState_ = run();
  } catch (const FailedRun& failure) {
    runState_ = failure.state();
    throw;
  }
}

void frmMain::cmdStart_Click() {
  RunCommand([this] {
    FrmMainPort port(*this);
    // The run asks for the start folder after its input check, and keeps its
    // own reference to it from then on.
    KeepRunState([&] { return ReplaceRun(port, port, port.ReadCriteria()); });
  });
}

void frmMain::closeEvent(QCloseEvent* event) {
  if (commandRunning_) {
    // Closing in the middle of a command stops it: before the question while
    // the run still walks folders or queries, after the document in hand
    // while it rewrites. The window closes once the command has ended.
    cmdExit->setProperty("Tag", QStringLiteral("CANCELED"));
    closeRequested_ = true;
    event->ignore();
    return;
  }
  hostApplication_.reset();
  QDialog::closeEvent(event);
}

}  // namespace qm
