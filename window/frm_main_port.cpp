#include "window/frm_main_port.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "platform/desktop.h"
#include "platform/text_fold.h"
#include "startup/search_history.h"
#include "startup/search_option_settings.h"
#include "text/texts.h"
#include "window/frm_main.h"
#include "window/host_messaging.h"
#include "window/run_progress_view.h"
#include "window/user_dialogs.h"

namespace qm {

bool FrmMainPort::IncludeSubfolders() { return window_.chkRecursion->isChecked(); }

void FrmMainPort::ProcessEvents() { QCoreApplication::processEvents(); }

bool FrmMainPort::SearchHistoryVisible() const { return !window_.cboTextToSearch->isHidden(); }

SearchCriteria FrmMainPort::ReadCriteria() {
  SearchCriteria criteria;
  criteria.language = UserTextLanguage();
  criteria.field =
      FieldFromDisplayText(window_.cboField->currentText(), DisplayTextsOf(criteria.language));
  criteria.searchText = SearchHistoryVisible() ? window_.cboTextToSearch->currentText()
                                               : window_.txtTextToSearch->text();
  criteria.removeMode = window_.optRemove->isChecked();
  criteria.replacementText = window_.txtTextToReplace->text();
  criteria.options = window_.SearchOptionsChosen();
  criteria.startFolder = [this] { return window_.RequireStartFolder(); };
  return criteria;
}

void FrmMainPort::SetNotes(const QString& text) { window_.lblNotes->setText(text); }

void FrmMainPort::FocusSearchBox() {
  if (SearchHistoryVisible()) {
    window_.cboTextToSearch->setFocus();
  } else {
    window_.txtTextToSearch->setFocus();
  }
}

void FrmMainPort::FocusReplacementBox() { window_.txtTextToReplace->setFocus(); }

namespace {

// A run that asks the user waits for the answer, not for its documents.
class PausedWhileAsking {
 public:
  explicit PausedWhileAsking(RunProgressView& progress)
      : progress_(progress), paused_(progress.Shown()) {
    if (paused_) {
      progress_.Pause(true);
    }
  }
  ~PausedWhileAsking() {
    if (paused_) {
      progress_.Pause(false);
    }
  }
  PausedWhileAsking(const PausedWhileAsking&) = delete;
  PausedWhileAsking& operator=(const PausedWhileAsking&) = delete;

 private:
  RunProgressView& progress_;
  bool paused_;
};

}  // namespace

bool FrmMainPort::Confirm(const QString& title, const QString& question) {
  const PausedWhileAsking paused(window_.Progress());
  return user_dialogs::AskYesNo(&window_, title, question);
}

bool FrmMainPort::ConfirmWithDetails(const QString& title, const QString& question,
                                     const QString& details) {
  const PausedWhileAsking paused(window_.Progress());
  return user_dialogs::AskYesNo(&window_, title, question, details);
}

RunJournal* FrmMainPort::Journal() {
  if (!journal_) {
    journal_ = OpenRunJournal(window_.JournalFolder());
  }
  return journal_.get();
}

void FrmMainPort::SetBusyCursor(bool busy) {
  // Balanced, however often the engine asks: one override of our own at most.
  if (busy == busy_) {
    return;
  }
  busy_ = busy;
  if (busy) {
    QApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
  } else {
    QApplication::restoreOverrideCursor();
  }
}

void FrmMainPort::SetRunning(bool running) {
  window_.cmdExit->setText(window_.Text(running ? text_id::kCancel : text_id::kExit));
  // The buttons stay unavailable until the whole command has ended (the
  // notes and the refresh still follow the loop); the window puts them back.
  if (running) {
    window_.cmdStart->setEnabled(false);
    window_.cmdQuery->setEnabled(false);
  }
}

void FrmMainPort::ShowProgress(std::int64_t done, std::int64_t total) {
  window_.Progress().Show(done, total);
}

void FrmMainPort::PauseProgress(bool paused) { window_.Progress().Pause(paused); }

void FrmMainPort::EndProgress() { window_.Progress().End(); }

void FrmMainPort::Pause(int milliseconds) { platform::Sleep(milliseconds); }

bool FrmMainPort::TakeCancelRequest() {
  if (!EqualsIgnoringCase(window_.cmdExit->property("Tag").toString(),
                          QStringLiteral("CANCELED"))) {
    return false;
  }
  window_.cmdExit->setProperty("Tag", QString());
  return true;
}

void FrmMainPort::SaveHistory() {
  QStringList items;
  for (int i = 0; i < window_.cboTextToSearch->count(); ++i) {
    items.append(window_.cboTextToSearch->itemText(i));
  }
  SaveSearchHistory(window_.Installation().SettingsKey(), items,
                    window_.cboTextToSearch->currentText());
  // Remembered beside the history, at the same moment.
  SaveSearchOptions(window_.Installation().SettingsKey(), window_.SearchOptionsChosen());
}

void FrmMainPort::RequestHostRefresh() { qm::RequestHostRefresh(); }

}  // namespace qm
