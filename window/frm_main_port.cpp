#include "window/frm_main_port.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "engine/review_texts.h"
#include "engine/undo_texts.h"
#include "platform/desktop.h"
#include "platform/text_fold.h"
#include "startup/search_history.h"
#include "startup/text_table.h"
#include "window/frm_main.h"
#include "window/host_messaging.h"
#include "window/user_dialogs.h"

namespace qm {

bool FrmMainPort::IncludeSubfolders() { return window_.chkRecursion->isChecked(); }

void FrmMainPort::ProcessEvents() { QCoreApplication::processEvents(); }

QString FrmMainPort::FieldText() { return window_.cboField->currentText(); }

QString FrmMainPort::SearchText() {
  return SearchHistoryVisible() ? window_.cboTextToSearch->currentText()
                                : window_.txtTextToSearch->text();
}

bool FrmMainPort::SearchHistoryVisible() { return !window_.cboTextToSearch->isHidden(); }

bool FrmMainPort::RemoveMode() { return window_.optRemove->isChecked(); }

QString FrmMainPort::ReplacementText() { return window_.txtTextToReplace->text(); }

QString FrmMainPort::Text(int id) {
  const bool german = startup::UserTextLanguage() == startup::TextLanguage::German;
  if (IsUndoText(id)) {
    return UndoText(id, german);
  }
  if (IsReviewText(id)) {
    return ReviewText(id, german);
  }
  return window_.Text(static_cast<std::uint16_t>(id));
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

bool FrmMainPort::Confirm(const QString& title, const QString& question) {
  return user_dialogs::AskYesNo(&window_, title, question);
}

bool FrmMainPort::ConfirmWithDetails(const QString& title, const QString& question,
                                     const QString& details) {
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
  window_.cmdExit->setText(Text(running ? 136 : 121));
  // The buttons stay unavailable until the whole command has ended (the
  // notes and the refresh still follow the loop); the window puts them back.
  if (running) {
    window_.cmdStart->setEnabled(false);
    window_.cmdQuery->setEnabled(false);
  }
}

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
}

void FrmMainPort::RequestHostRefresh() { qm::RequestHostRefresh(); }

}  // namespace qm
