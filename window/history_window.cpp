#include "window/history_window.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>
#include <set>

#include "engine/journal/run_documents.h"
#include "engine/journal/run_history.h"
#include "text/mod_resource.h"
#include "window/dialog_kit.h"
#include "window/history_model.h"
#include "window/review_delegate.h"

namespace qm {
namespace {

constexpr int kSliceMs = 25;
constexpr int kFilterDelayMs = 250;
constexpr int kRefreshMs = 1000;
constexpr QSize kHistorySize(1000, 420);
constexpr QSize kRunSize(900, 560);
constexpr int kWidestColumn = 180;

void ChainTabs(std::initializer_list<QWidget*> order) {
  QWidget* previous = nullptr;
  for (QWidget* widget : order) {
    if (previous != nullptr) {
      QWidget::setTabOrder(previous, widget);
    }
    previous = widget;
  }
}

QHBoxLayout* Buttons(std::initializer_list<QPushButton*> left,
                     std::initializer_list<QPushButton*> right) {
  auto* row = new QHBoxLayout;
  for (QPushButton* button : left) {
    row->addWidget(button);
  }
  row->addStretch(1);
  for (QPushButton* button : right) {
    row->addWidget(button);
  }
  return row;
}

}  // namespace

// ---- The look into one run ------------------------------------------------

RunWindow::RunWindow(RunRows& rows, QString settingsKey, QWidget* parent)
    : QDialog(parent),
      rows_(rows),
      settingsKey_(std::move(settingsKey)),
      language_(UserTextLanguage()),
      chooseFile_(SaveFileDialog()) {
  setObjectName(QStringLiteral("frmRun"));
  model_ = new RunModel(rows_, language_, this);
  const RunRecord& run = rows_.Run();
  setWindowTitle(modResource::printf(Text(history_text::kRunTitle),
                                     {RunTime(run, language_), run.collectionName}));
  lblRun = PlainLabel(this, "lblRun");
  lblRun->setWordWrap(true);
  lblRun->setText(QStringLiteral("%1 \u2013 %2: '%3' \u2192 '%4' \u2013 %5")
                      .arg(ModeText(run, language_), FolderText(run, language_), run.searchText,
                           run.replaceText, StateText(run, nullptr, language_)));
  lblFilter = Named(new QLabel(Text(review_text::kFilter), this), "lblFilter");
  txtFilter = Named(new QLineEdit(this), "txtFilter");
  txtFilter->setClearButtonEnabled(true);
  txtFilter->installEventFilter(this);
  lblFilter->setBuddy(txtFilter);
  lblShown = PlainLabel(this, "lblShown");
  lstDocuments = RowList(this, "lstDocuments");
  lstDocuments->setModel(model_);
  lstDocuments->setItemDelegate(new ReviewDelegate(lstDocuments));
  cmdUndo = Named(new QPushButton(Text(history_text::kUndoChosen), this), "cmdUndo");
  cmdRedo = Named(new QPushButton(Text(history_text::kRedoChosen), this), "cmdRedo");
  cmdExport = Named(new QPushButton(Text(progress_text::kExport), this), "cmdExport");
  cmdClose = Named(new QPushButton(Text(history_text::kClose), this), "cmdClose");
  cmdClose->setDefault(true);

  auto* filter = new QHBoxLayout;
  filter->addWidget(lblFilter);
  filter->addWidget(txtFilter, 1);
  filter->addWidget(lblShown);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblRun);
  layout->addLayout(filter);
  layout->addWidget(lstDocuments, 1);
  layout->addLayout(Buttons({cmdUndo, cmdRedo, cmdExport}, {cmdClose}));
  ChainTabs({txtFilter, lstDocuments, cmdUndo, cmdRedo, cmdExport, cmdClose});
  lstDocuments->setFocus();

  connect(&work_, &QTimer::timeout, this, [this] { Work(); });
  filterDelay_.setSingleShot(true);
  filterDelay_.setInterval(kFilterDelayMs);
  connect(&filterDelay_, &QTimer::timeout, this, [this] { ApplyFilter(); });
  connect(txtFilter, &QLineEdit::textEdited, &filterDelay_, qOverload<>(&QTimer::start));
  connect(cmdUndo, &QPushButton::clicked, this, [this] { Choose(Action::Undo); });
  connect(cmdRedo, &QPushButton::clicked, this, [this] { Choose(Action::Redo); });
  connect(cmdExport, &QPushButton::clicked, this, [this] {
    ExportToChosenFile(this, chooseFile_, language_, Text(history_text::kExportFileName),
                       [this](const QString& path) { ExportRunRows(rows_, path, language_); });
  });
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
  connect(lstDocuments->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { UpdateState(); });
  connect(model_, &QAbstractItemModel::rowsInserted, this, [this] {
    if (!lstDocuments->currentIndex().isValid()) {
      lstDocuments->selectionModel()->setCurrentIndex(
          model_->index(0, 0), QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
  });
  RestoreWindowSize(*this, settingsKey_, kRunSizeValues, kRunSize);
  // The document and its two values share most of the width alike; what it
  // holds now takes the rest.
  const int share = width() * 22 / 100;
  for (const int column : {RunModel::kDocument, RunModel::kBefore, RunModel::kAfter}) {
    lstDocuments->setColumnWidth(column, share);
  }
  UpdateState();
  work_.start(0);
}

RunWindow::~RunWindow() = default;

QString RunWindow::Text(int id) const { return qm::Text(id, language_); }

std::vector<EntryPosition> RunWindow::Selected() const {
  std::set<int> rows;
  for (const QModelIndex& index : lstDocuments->selectionModel()->selectedIndexes()) {
    rows.insert(index.row());
  }
  std::vector<EntryPosition> positions;
  for (const int row : rows) {
    positions.push_back(rows_.Position(row));
  }
  return positions;
}

void RunWindow::Choose(Action action) {
  chosen_ = action;
  accept();
}

void RunWindow::done(int result) {
  work_.stop();
  filterDelay_.stop();
  KeepWindowSize(*this, settingsKey_, kRunSizeValues);
  QDialog::done(result);
}

void RunWindow::Work() {
  try {
    model_->LookAtMore(QDeadlineTimer(model_->rowCount() == 0 ? 0 : kSliceMs));
  } catch (const Error& error) {
    failure_ = error;
    reject();
    return;
  }
  if (model_->Complete()) {
    work_.stop();
  }
  UpdateState();
}

void RunWindow::ApplyFilter() {
  filterDelay_.stop();
  if (txtFilter->text() == model_->FilterText()) {
    return;
  }
  model_->SetFilterText(txtFilter->text());
  work_.start(0);
  UpdateState();
}

void RunWindow::UpdateState() {
  lblShown->setText(modResource::printf(Text(review_text::kShown), {model_->rowCount()}));
  const bool chosen = lstDocuments->selectionModel()->hasSelection();
  cmdUndo->setEnabled(chosen && CanUndo(rows_.Run()));
  cmdRedo->setEnabled(chosen && CanRedo(rows_.Run()));
  cmdExport->setEnabled(model_->Complete() && model_->rowCount() > 0);
}

bool RunWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == txtFilter && event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      // Enter in the filter box filters at once; it never closes the window.
      ApplyFilter();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

// ---- The history ------------------------------------------------------------

HistoryWindow::HistoryWindow(const QString& journalFolder, QString settingsKey,
                             HistoryActions& actions, QWidget* parent)
    : QDialog(parent),
      journal_(OpenRunJournal(journalFolder)),
      settingsKey_(std::move(settingsKey)),
      actions_(actions),
      language_(UserTextLanguage()),
      chooseFile_(SaveFileDialog()) {
  setObjectName(QStringLiteral("frmHistory"));
  setWindowTitle(Text(history_text::kWindowTitle));
  model_ = new HistoryModel(language_, this);
  lblRuns = Named(new QLabel(Text(history_text::kRunsLabel), this), "lblRuns");
  lstRuns = RowList(this, "lstRuns");
  lstRuns->setSelectionMode(QAbstractItemView::SingleSelection);
  lstRuns->setModel(model_);
  lblRuns->setBuddy(lstRuns);
  lblUsage = PlainLabel(this, "lblUsage");
  lblUsage->setWordWrap(true);
  cmdUndo = Named(new QPushButton(Text(history_text::kUndo), this), "cmdUndo");
  cmdRedo = Named(new QPushButton(Text(history_text::kRedo), this), "cmdRedo");
  cmdOpen = Named(new QPushButton(Text(history_text::kOpen), this), "cmdOpen");
  cmdExport = Named(new QPushButton(Text(progress_text::kExport), this), "cmdExport");
  cmdClose = Named(new QPushButton(Text(history_text::kClose), this), "cmdClose");
  cmdOpen->setDefault(true);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblRuns);
  layout->addWidget(lstRuns, 1);
  layout->addWidget(lblUsage);
  layout->addLayout(Buttons({cmdUndo, cmdRedo, cmdOpen, cmdExport}, {cmdClose}));
  ChainTabs({lstRuns, cmdUndo, cmdRedo, cmdOpen, cmdExport, cmdClose});

  connect(cmdUndo, &QPushButton::clicked, this, [this] { RunAction(false, std::nullopt); });
  connect(cmdRedo, &QPushButton::clicked, this, [this] { RunAction(true, std::nullopt); });
  connect(cmdOpen, &QPushButton::clicked, this, [this] { LookInside(); });
  connect(lstRuns, &QTableView::activated, this, [this] { LookInside(); });
  connect(cmdExport, &QPushButton::clicked, this, [this] { ExportSelected(); });
  connect(cmdClose, &QPushButton::clicked, this, &QDialog::reject);
  connect(lstRuns->selectionModel(), &QItemSelectionModel::selectionChanged, this,
          [this] { UpdateState(); });
  connect(&refresh_, &QTimer::timeout, this, [this] { Refresh(); });
  Refresh();
  if (model_->rowCount() > 0) {
    lstRuns->selectRow(0);
  }
  lstRuns->resizeColumnsToContents();
  // A long pattern or replacement does not push the documents and the
  // state out of sight; the tooltip shows it whole.
  for (int column = 0; column < HistoryModel::kColumns; ++column) {
    lstRuns->setColumnWidth(column, std::min(lstRuns->columnWidth(column), kWidestColumn));
  }
  lstRuns->setFocus();
  RestoreWindowSize(*this, settingsKey_, kHistorySizeValues, kHistorySize);
  refresh_.start(kRefreshMs);
}

HistoryWindow::~HistoryWindow() = default;

QString HistoryWindow::Text(int id) const { return qm::Text(id, language_); }

void HistoryWindow::done(int result) {
  refresh_.stop();
  KeepWindowSize(*this, settingsKey_, kHistorySizeValues);
  QDialog::done(result);
}

void HistoryWindow::Refresh() {
  const std::optional<RunRecord> selected = SelectedRun();
  std::vector<RunRecord> runs;
  try {
    runs = journal_->Runs();
  } catch (const Error& error) {
    // A journal busy or failing for a moment: the rows shown stay, and the
    // next reading may succeed.
    lblUsage->setText(error.description());
    return;
  }
  lblUsage->setText(UsageText(runs, journal_->Limits(), language_));
  model_->SetRuns(std::move(runs));
  if (selected) {
    if (const int row = model_->RowOf(selected->number);
        row >= 0 && row != lstRuns->currentIndex().row()) {
      lstRuns->selectRow(row);
    }
  }
  UpdateState();
}

std::optional<RunRecord> HistoryWindow::SelectedRun() const {
  const QModelIndexList rows = lstRuns->selectionModel()->selectedRows();
  if (rows.isEmpty()) {
    return std::nullopt;
  }
  return model_->Runs().at(static_cast<std::size_t>(rows.front().row()));
}

void HistoryWindow::UpdateState() {
  const std::optional<RunRecord> run = SelectedRun();
  cmdUndo->setEnabled(!acting_ && run && CanUndo(*run));
  cmdRedo->setEnabled(!acting_ && run && CanRedo(*run));
  cmdOpen->setEnabled(!acting_ && run && run->documents > 0);
  cmdExport->setEnabled(!acting_ && run && run->documents > 0);
}

void HistoryWindow::RunAction(bool redo, std::optional<std::vector<EntryPosition>> only) {
  const std::optional<RunRecord> run = SelectedRun();
  if (!run || acting_) {
    return;
  }
  acting_ = true;
  UpdateState();
  const QPointer<HistoryWindow> alive(this);
  const RunChoice choice{run->number, std::move(only)};
  if (redo) {
    actions_.Redo(choice);
  } else {
    actions_.Undo(choice);
  }
  if (alive) {
    acting_ = false;
    Refresh();
  }
}

std::unique_ptr<RunRows> HistoryWindow::RowsOf(const RunRecord& run) {
  std::shared_ptr<HostCollection> collection;
  if (HostApplication* host = actions_.Host()) {
    try {
      collection = FindCollection(*host, run.collectionId);
      if (collection && !run.collectionIdentity.isEmpty() &&
          collection->Identity() != run.collectionIdentity) {
        collection = nullptr;
      }
    } catch (const Error&) {
      collection = nullptr;  // its documents then show as not known
    }
  }
  return std::make_unique<RunRows>(*journal_, run, std::move(collection), language_);
}

void HistoryWindow::LookInside(const std::function<void(RunWindow&)>& opened) {
  const std::optional<RunRecord> run = SelectedRun();
  if (!run || acting_ || run->documents == 0) {
    return;
  }
  const std::unique_ptr<RunRows> rows = RowsOf(*run);
  RunWindow inside(*rows, settingsKey_, this);
  inside.SetFileChooser(chooseFile_);
  if (opened) {
    opened(inside);
  }
  if (inside.exec() != QDialog::Accepted || inside.Chosen() == RunWindow::Action::None) {
    return;
  }
  RunAction(inside.Chosen() == RunWindow::Action::Redo, inside.Selected());
}

void HistoryWindow::ExportSelected() {
  const std::optional<RunRecord> run = SelectedRun();
  if (!run) {
    return;
  }
  const std::unique_ptr<RunRows> rows = RowsOf(*run);
  ExportToChosenFile(this, chooseFile_, language_, Text(history_text::kExportFileName),
                     [this, &rows](const QString& path) { ExportRunRows(*rows, path, language_); });
}

}  // namespace qm
