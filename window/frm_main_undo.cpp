// Undo of the last run: the window's entry points (the Ctrl+Z shortcut and
// the entry of its context menu) and the command behind them.
//
// A text box keeps Ctrl+Z for its own typing while it has any to undo;
// otherwise the key reaches the window and undoes the last run. A command
// ends the boxes' own undo: the focus goes back where it was, often the box
// just typed in, and the run is then the latest thing to take back.
#include <QAction>
#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

#include <initializer_list>

#include "engine/journal/run_journal.h"
#include "engine/journal/undo_run.h"
#include "hostlib/host_library.h"
#include "text/texts.h"
#include "window/frm_main.h"
#include "window/frm_main_port.h"

namespace qm {
namespace {

class TextBoxUndoFilter final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::ShortcutOverride) {
      // An editable combo box hands the key to its line edit itself, past
      // any filter on the line edit.
      auto* combo = qobject_cast<QComboBox*>(watched);
      QLineEdit* box = combo != nullptr ? combo->lineEdit() : qobject_cast<QLineEdit*>(watched);
      auto* key = static_cast<QKeyEvent*>(event);
      if (box != nullptr && key->matches(QKeySequence::Undo) && !box->isUndoAvailable()) {
        // Not taken by the box: the window's shortcut gets the key.
        event->ignore();
        return true;
      }
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

void frmMain::InstallUndo() {
  AddContextCommand(Text(undo_text::kUndoMenuEntry), "actUndoLastRun",
                    QKeySequence(Qt::CTRL | Qt::Key_Z), &frmMain::UndoLastRun_Click);

  auto* filter = new TextBoxUndoFilter(this);
  for (QWidget* box : std::initializer_list<QWidget*>{cboTextToSearch, cboTextToSearch->lineEdit(),
                                                      txtTextToSearch, txtTextToReplace}) {
    if (box != nullptr) {
      box->installEventFilter(filter);
    }
  }
}

void frmMain::ForgetTypingUndo() {
  for (QLineEdit* box : {cboTextToSearch->lineEdit(), txtTextToSearch, txtTextToReplace}) {
    if (box == nullptr || (!box->isUndoAvailable() && !box->isRedoAvailable())) {
      continue;
    }
    // A line edit forgets its undo steps only when it is given a text; the
    // same text changes nothing else, and the cursor and selection are put
    // back as they were.
    const int cursor = box->cursorPosition();
    const int start = box->selectionStart();
    const int length = box->selectionLength();
    box->setText(box->text());
    if (length > 0) {
      box->setSelection(cursor == start ? start + length : start,
                        cursor == start ? -length : length);
    } else {
      box->setCursorPosition(cursor);
    }
  }
}

QString frmMain::JournalFolder() const {
  return journalFolder_.isEmpty() ? DefaultJournalFolder() : journalFolder_;
}

void frmMain::UndoLastRun_Click() {
  RunCommand([this] {
    FrmMainPort port(*this);
    UndoLastRun(port, port, RequireHost(), UserTextLanguage());
  });
}

}  // namespace qm
