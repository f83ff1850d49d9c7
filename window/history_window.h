// The history of runs: every run the journal keeps, latest first, what it
// did and what became of it; any of them undone or redone, whole or some of
// its documents; a look into one; and its documents exported.
//
// The window stays open beside the main window (not modal), so that a run
// it starts can be watched and cancelled there; it reads the journal again
// every second, so that a run going in another window shows how far it is.
// An undo or a redo runs as a command of the main window (its notes line,
// its Cancel), with the history's buttons off meanwhile.
//
// The look into a run (RunWindow) lists its documents as RunRows finds them,
// a page at a time, with a filter box; "Undo selected..." and "Redo
// selected..." close it and hand the selected documents to the history.
//
// Both windows keep their size in the host's settings key, as the review
// does.
#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "engine/journal/run_journal.h"
#include "engine/journal/run_rows.h"
#include "engine/journal/undo_run.h"
#include "text/texts.h"
#include "window/dialog_kit.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

namespace qm {

class HistoryModel;
class RunModel;

// What the history asks of the main window.
class HistoryActions {
 public:
  virtual ~HistoryActions() = default;
  // Undo or redo as a command of the main window; returns when it ended.
  virtual void Undo(const RunChoice& choice) = 0;
  virtual void Redo(const RunChoice& choice) = 0;
  // The running host, for a look into a run; none when there is none.
  virtual HostApplication* Host() = 0;
};

class RunWindow final : public QDialog {
  Q_OBJECT

 public:
  enum class Action { None, Undo, Redo };

  RunWindow(RunRows& rows, QString settingsKey, QWidget* parent = nullptr);
  ~RunWindow() override;

  // What the user chose when the window closed, and for which documents.
  Action Chosen() const { return chosen_; }
  std::vector<EntryPosition> Selected() const;
  const std::optional<Error>& Failure() const { return failure_; }
  RunModel& Model() const { return *model_; }

  QLabel* lblRun = nullptr;
  QLabel* lblFilter = nullptr;
  QLineEdit* txtFilter = nullptr;
  QLabel* lblShown = nullptr;
  QTableView* lstDocuments = nullptr;
  QPushButton* cmdUndo = nullptr;
  QPushButton* cmdRedo = nullptr;
  QPushButton* cmdExport = nullptr;
  QPushButton* cmdClose = nullptr;

  // Asks where Export saves the rows; tests answer in its place.
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

 public slots:
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString Text(int id) const;
  void Work();
  void ApplyFilter();
  void UpdateState();
  void Choose(Action action);

  RunRows& rows_;
  QString settingsKey_;
  TextLanguage language_;
  RunModel* model_ = nullptr;
  QTimer work_;
  QTimer filterDelay_;
  Action chosen_ = Action::None;
  std::optional<Error> failure_;
  FileChooser chooseFile_;
};

class HistoryWindow final : public QDialog {
  Q_OBJECT

 public:
  // Opens its own connection to the journal in `journalFolder`; throws
  // qm::Error when the journal cannot be opened.
  HistoryWindow(const QString& journalFolder, QString settingsKey, HistoryActions& actions,
                QWidget* parent = nullptr);
  ~HistoryWindow() override;

  HistoryModel& Model() const { return *model_; }
  // Reads the journal again, keeping the selected run.
  void Refresh();
  // The selected run; none when no row is selected.
  std::optional<RunRecord> SelectedRun() const;
  // The look into the selected run, as Look inside opens it (for tests:
  // `opened` is handed the window before it is shown).
  void LookInside(const std::function<void(RunWindow&)>& opened = {});
  // Asks where Export saves a run's documents (also for its look inside);
  // tests answer in its place.
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }

  QLabel* lblRuns = nullptr;
  QTableView* lstRuns = nullptr;
  QLabel* lblUsage = nullptr;
  QPushButton* cmdUndo = nullptr;
  QPushButton* cmdRedo = nullptr;
  QPushButton* cmdOpen = nullptr;
  QPushButton* cmdExport = nullptr;
  QPushButton* cmdClose = nullptr;

 public slots:
  void done(int result) override;

 private:
  QString Text(int id) const;
  void UpdateState();
  void RunAction(bool redo, std::optional<std::vector<EntryPosition>> only);
  std::unique_ptr<RunRows> RowsOf(const RunRecord& run);
  void ExportSelected();

  std::unique_ptr<RunJournal> journal_;
  QString settingsKey_;
  HistoryActions& actions_;
  TextLanguage language_;
  HistoryModel* model_ = nullptr;
  QTimer refresh_;
  bool acting_ = false;
  FileChooser chooseFile_;
};

}  // namespace qm
