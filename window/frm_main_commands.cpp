// The window's commands: Browse, Verify Matches and Start, and what keeps
// them from running into each other.
#include <QApplication>
#include <QCloseEvent>
#include <QPushButton>

#include <exception>

#include "platform/error.h"
#include "engine/replace_run.h"
#include "engine/verify_matches.h"
#include "window/frm_main.h"
#include "window/frm_main_port.h"
#include "window/host_library.h"
#include "window/user_dialogs.h"

namespace qm {

void frmMain::RunCommand(const std::function<void()>& command) {
  if (commandRunning_) {
    return;
  }
  commandRunning_ = true;
  try {
    command();
  } catch (const Error& error) {
    user_dialogs::ShowFailure(this, Text(100), error);
  } catch (const std::exception& failure) {
    user_dialogs::ShowFailure(
        this, Text(100), Error(-1, QStringLiteral("QMReplace"), QString::fromUtf8(failure.what())));
  }
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
    throw Error(91, QStringLiteral("QMReplace"), QStringLiteral("No start folder is chosen."));
  }
  return *selectedFolder;
}

void frmMain::cmdQuery_Click() {
  RunCommand([this] {
    RequireSelectedFolder();
    FrmMainPort port(*this);
    VerifyMatches(port, selectedFolder);
  });
}

void frmMain::cmdStart_Click() {
  RunCommand([this] {
    // The run works on its own reference to the start folder, so a Browse
    // could never change what it works on.
    const std::shared_ptr<HostFolder> startFolder = selectedFolder;
    RequireSelectedFolder();
    FrmMainPort port(*this);
    ReplaceRun(port, startFolder, runState_);
  });
}

void frmMain::closeEvent(QCloseEvent* event) {
  if (commandRunning_) {
    // Closing in the middle of a command stops a run after the document in
    // hand; the window closes once the command has ended.
    cmdExit->setProperty("Tag", QStringLiteral("CANCELED"));
    closeRequested_ = true;
    event->ignore();
    return;
  }
  hostApplication_.reset();
  QDialog::closeEvent(event);
}

}  // namespace qm
