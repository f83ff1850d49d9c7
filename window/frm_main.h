// frmMain: the program's one dialog window.
//
// The window is laid out as three numbered steps (choose the folder, give the
// text to find, choose removal or replacement), a notes line and the Start
// and Exit buttons. It owns the host library's root object from start-up to
// closing and holds the start folder for its lifetime. The small handlers
// that keep the controls consistent live here; start-up lives in
// frm_main_load.cpp, the names screen readers are given in
// frm_main_names.cpp, folder selection in folder_selection.cpp. The commands
// (Verify Matches and Start in frm_main_commands.cpp, the review and its
// Apply in frm_main_review.cpp, undo of the last run in frm_main_undo.cpp)
// run in the engine, which reaches the window only through the narrow
// interface the window implements (frm_main_port.h).
//
// Controls are public members named as the window's design names them, and
// every widget carries that name as its objectName.
#pragma once

#include <QDialog>
#include <QKeySequence>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

#include "engine/query/search_options.h"
#include "engine/run/run_state.h"
#include "startup/host_discovery.h"
#include "startup/image_list.h"
#include "startup/windows_version.h"

class QAction;
class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QToolButton;
class QWidget;

namespace qm {

class HistoryActions;
class HistoryWindow;
class HostApplication;
class HostFolder;
class RunProgressView;

class frmMain : public QDialog {
  Q_OBJECT

 public:
  // Creates the window and runs its start-up (Initialize and Load); the
  // window is not shown yet.
  explicit frmMain(QWidget* parent = nullptr);
  ~frmMain() override;

  // The text of an identifier of the text table, in the user's language.
  QString Text(int id) const;

  // Window state set at start-up.
  const HostInstallation& Installation() const { return installation_; }
  bool ModernAppearance() const { return modernAppearance_; }
  const std::shared_ptr<HostApplication>& Host() const { return hostApplication_; }
  const std::shared_ptr<HostFolder>& SelectedFolder() const { return selectedFolder; }
  // The state of the last replace run (also after a failure: how many
  // documents it saved).
  const RunState& LastRun() const { return runState_; }
  bool CommandRunning() const { return commandRunning_; }
  // How far a run has come, in the caption and the taskbar button.
  RunProgressView& Progress() const { return *progress_; }
  // The folder of the journal of runs: the user's (DefaultJournalFolder())
  // unless one was set, as tests set a folder of their own.
  QString JournalFolder() const;
  void SetJournalFolder(const QString& folder) { journalFolder_ = folder; }

  // Folder selection.
  void ShowFolderIcon(std::int32_t collectionId, std::int32_t folderId);
  // The icon number (1-based position in imlFolders) ShowFolderIcon shows.
  int FolderIconNumber(std::int32_t collectionId, std::int32_t folderId) const;

  // Handlers, public so that the commands and tests can drive them as the
  // controls' events do.
  void cboField_Click();
  void cboTextToSearch_Click();
  void optRemove_Click();
  void optReplace_Click();
  void cmdExit_Click();
  void cmdPickFolder_Click();
  void cmdQuery_Click();
  void cmdStart_Click();
  // Undo of the last run not undone yet: Ctrl+Z and the window's context
  // menu (frm_main_undo.cpp).
  void UndoLastRun_Click();
  // The review of every change before a run: Ctrl+R and the window's
  // context menu (frm_main_review.cpp).
  void ReviewChanges_Click();
  // The history of runs: Ctrl+H and the window's context menu; shown, or
  // brought to the front when it is open.
  void History_Click();
  // The history's window while it is open.
  HistoryWindow* History() const;

  // The search options as their toggles show them, for every field.
  SearchOptions SearchOptionsChosen() const;
  void ShowSearchOptions(const SearchOptions& options);

  // The controls.
  QFrame* Shape1 = nullptr;
  QLabel* lblDesc = nullptr;
  QLabel* picLogo = nullptr;
  QLabel* imgCSLogo = nullptr;
  QGroupBox* Frame1 = nullptr;
  QWidget* picCollectionFolderHost = nullptr;
  QLabel* lblFolder = nullptr;
  QLabel* imgFolderSelected = nullptr;
  QLabel* lblSelectedFolder = nullptr;
  QPushButton* cmdPickFolder = nullptr;
  QCheckBox* chkRecursion = nullptr;
  QGroupBox* Frame2 = nullptr;
  QWidget* picFindTextHost = nullptr;
  QLabel* lblField = nullptr;
  QComboBox* cboField = nullptr;
  QLabel* lblTextToSearch = nullptr;
  QComboBox* cboTextToSearch = nullptr;
  QLineEdit* txtTextToSearch = nullptr;
  QPushButton* cmdQuery = nullptr;
  // The search options' toggles, inside the search box (whichever of the
  // two is shown) and inside the replacement box (option_toggles.h).
  QToolButton* tglMatchCase = nullptr;
  QToolButton* tglWholeWords = nullptr;
  QToolButton* tglPattern = nullptr;
  QToolButton* tglPreserveCase = nullptr;
  QGroupBox* Frame3 = nullptr;
  QWidget* picReplaceHost = nullptr;
  QRadioButton* optRemove = nullptr;
  QRadioButton* optReplace = nullptr;
  QLineEdit* txtTextToReplace = nullptr;
  QLabel* lblProgress = nullptr;
  QLabel* lblNotes = nullptr;
  QPushButton* cmdStart = nullptr;
  QPushButton* cmdExit = nullptr;

  startup::ImageList imlFolders;

  // The start folder; empty only when the host library failed at start-up.
  std::shared_ptr<HostFolder> selectedFolder;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void InstallUndo();
  // Ends the text boxes' own undo of their typing (frm_main_undo.cpp).
  void ForgetTypingUndo();
  void InstallReview();
  // The history of runs (frm_main_history.cpp): its window stays open beside
  // this one, and runs its undos and redos as this window's commands.
  void InstallHistory();
  // A command of the window's context menu with its shortcut, named for the
  // tests and scripts that find it.
  QAction* AddContextCommand(const QString& text, const char* objectName, QKeySequence shortcut,
                             void (frmMain::*handler)());
  void ConnectHandlers();
  void Load();
  void LoadIcons();
  void SetFonts();
  void LoadHistory();
  void LoadOptions();
  void SetCaptions();
  // Names and descriptions for screen readers, and the toggles' tooltips
  // and accelerators, in the user's language (frm_main_names.cpp).
  void NameControls();
  void CreateHost();
  void InitialSelection();
  void SetNotes(const QString& text);
  // The option buttons behave as a group of the Windows dialog: Tab enters
  // it on the selected option, the arrow keys select the next one.
  void TabOnlyToTheSelectedOption();
  bool MoveOptionSelection(QRadioButton* from, int key);
  void BrowseForFolder();
  // The host library's root object; throws when start-up could not create it.
  HostApplication& RequireHost() const;
  HostFolder& RequireSelectedFolder() const;

 public:
  // The start folder; throws qm::Error without a host or a folder.
  std::shared_ptr<HostFolder> RequireStartFolder() const;

 private:
  // Runs one command handler: while it runs no other command, Browse or
  // close can start inside it; a failure is shown to the user and the
  // window is put back as it was.
  void RunCommand(const std::function<void()>& command);
  // Keeps the state a run returns, or the one its failure tells.
  void KeepRunState(const std::function<RunState()>& run);

  HostInstallation installation_;
  startup::WindowsVersion windowsVersion_;
  bool modernAppearance_ = false;
  std::shared_ptr<HostApplication> hostApplication_;
  RunState runState_;
  bool commandRunning_ = false;
  bool closeRequested_ = false;
  QString journalFolder_;
  QPointer<HistoryWindow> history_;
  std::unique_ptr<HistoryActions> historyActions_;
  std::unique_ptr<RunProgressView> progress_;
};

}  // namespace qm
