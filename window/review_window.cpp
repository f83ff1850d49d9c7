#include "window/review_window.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QTableView>
#include <QVBoxLayout>

#include <exception>
#include <iterator>

#include "engine/command/window_port.h"
#include "engine/query/search_field.h"
#include "engine/review/review_export.h"
#include "text/mod_resource.h"
#include "text/texts.h"
#include "window/dialog_kit.h"
#include "window/review_delegate.h"
#include "window/review_model.h"
#include "window/review_size.h"
#include "window/user_dialogs.h"

namespace qm {
namespace {

// One chunk of work between two passes of the window's events.
constexpr int kSliceMs = 25;
// Typing in the filter box starts the filter once the typing pauses.
constexpr int kFilterDelayMs = 250;
constexpr QSize kFirstSize(900, 560);

qlonglong Number(std::int64_t n) { return static_cast<qlonglong>(n); }

// A list's columns share its width, the document three tenths and the
// values the rest alike; once the list has a width, its columns keep the
// proportions the user gave them as it grows or shrinks.
void FitColumns(QTableView& view, int oldWidth, int newWidth) {
  static const char kFitted[] = "qmColumnsFitted";
  if (newWidth <= 0) {
    return;
  }
  if (oldWidth <= 0 || !view.property(kFitted).toBool()) {
    view.setProperty(kFitted, true);
    view.setColumnWidth(ReviewModel::kDocument, newWidth * 3 / 10);
    view.setColumnWidth(ReviewModel::kBefore, newWidth * 35 / 100);
    return;
  }
  for (const int column : {ReviewModel::kDocument, ReviewModel::kBefore}) {
    view.setColumnWidth(column, view.columnWidth(column) * newWidth / oldWidth);
  }
}

}  // namespace

ReviewWindow::ReviewWindow(ReviewList& list, QString settingsKey, QWidget* parent)
    : QDialog(parent),
      list_(list),
      settingsKey_(std::move(settingsKey)),
      language_(UserTextLanguage()),
      chooseFile_(SaveFileDialog()) {
  setObjectName(QStringLiteral("frmReview"));
  changes_ = new ReviewModel(list_, ReviewSection::Changes, language_, this);
  unchanged_ = new ReviewModel(list_, ReviewSection::Unchanged, language_, this);
  CreateControls();
  SetCaptions();
  connect(changes_, &ReviewModel::checksChanged, this, [this] { UpdateState(); });
  connect(&work_, &QTimer::timeout, this, [this] { Work(); });
  filterDelay_.setSingleShot(true);
  filterDelay_.setInterval(kFilterDelayMs);
  connect(&filterDelay_, &QTimer::timeout, this, [this] { ApplyFilter(); });
  connect(txtFilter, &QLineEdit::textEdited, &filterDelay_, qOverload<>(&QTimer::start));
  connect(cmdCheckAll, &QPushButton::clicked, this, [this] { changes_->SetAllChecked(true); });
  connect(cmdUncheckAll, &QPushButton::clicked, this, [this] { changes_->SetAllChecked(false); });
  connect(cmdExport, &QPushButton::clicked, this, [this] { Export(); });
  connect(cmdApply, &QPushButton::clicked, this, &QDialog::accept);
  connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
  RestoreWindowSize(*this, settingsKey_, kReviewSizeValues, kFirstSize);
  UpdateState();
  work_.start(0);
}

ReviewWindow::~ReviewWindow() = default;

QString ReviewWindow::Text(int id) const { return qm::Text(id, language_); }

void ReviewWindow::CreateControls() {
  lblCriteria = PlainLabel(this, "lblCriteria");
  lblCriteria->setWordWrap(true);
  lblCount = PlainLabel(this, "lblCount");
  prgLooking = Named(new QProgressBar(this), "prgLooking");
  prgLooking->setTextVisible(false);
  prgLooking->setMaximumHeight(lblCount->sizeHint().height());

  lblFilter = PlainLabel(this, "lblFilter");
  lblFilter->setTextFormat(Qt::AutoText);  // its mnemonic
  txtFilter = Named(new QLineEdit(this), "txtFilter");
  txtFilter->setClearButtonEnabled(true);
  txtFilter->installEventFilter(this);
  lblFilter->setBuddy(txtFilter);
  lblShown = PlainLabel(this, "lblShown");
  cmdCheckAll = Named(new QPushButton(this), "cmdCheckAll");
  cmdUncheckAll = Named(new QPushButton(this), "cmdUncheckAll");

  lblChanges = PlainLabel(this, "lblChanges");
  lblChanges->setTextFormat(Qt::AutoText);
  lstChanges = CreateList(changes_, "lstChanges");
  lblChanges->setBuddy(lstChanges);
  lblUnchanged = PlainLabel(this, "lblUnchanged");
  lblUnchanged->setWordWrap(true);
  lstUnchanged = CreateList(unchanged_, "lstUnchanged");

  cmdExport = Named(new QPushButton(this), "cmdExport");
  cmdApply = Named(new QPushButton(this), "cmdApply");
  cmdCancel = Named(new QPushButton(this), "cmdCancel");
  cmdApply->setDefault(true);

  auto* count = new QHBoxLayout;
  count->addWidget(lblCount, 1);
  count->addWidget(prgLooking, 1);
  auto* filter = new QHBoxLayout;
  filter->addWidget(lblFilter);
  filter->addWidget(txtFilter, 1);
  filter->addWidget(lblShown);
  filter->addSpacing(12);
  filter->addWidget(cmdCheckAll);
  filter->addWidget(cmdUncheckAll);
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(cmdExport);
  buttons->addStretch(1);
  buttons->addWidget(cmdApply);
  buttons->addWidget(cmdCancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(lblCriteria);
  layout->addLayout(count);
  layout->addLayout(filter);
  layout->addWidget(lblChanges);
  layout->addWidget(lstChanges, 3);
  layout->addWidget(lblUnchanged);
  layout->addWidget(lstUnchanged, 1);
  layout->addLayout(buttons);

  QWidget* order[] = {txtFilter,    cmdCheckAll, cmdUncheckAll, lstChanges,
                      lstUnchanged, cmdExport,   cmdApply,      cmdCancel};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    setTabOrder(order[i - 1], order[i]);
  }
  lstChanges->setFocus();
}

QTableView* ReviewWindow::CreateList(ReviewModel* model, const char* name) {
  QTableView* view = RowList(this, name);
  view->setModel(model);
  view->setItemDelegate(new ReviewDelegate(view));
  view->installEventFilter(this);
  connect(model, &QAbstractItemModel::rowsInserted, view, [view] {
    // The first rows: a user who presses Space at once means the first one.
    if (!view->currentIndex().isValid()) {
      view->selectionModel()->setCurrentIndex(
          view->model()->index(0, 0),
          QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
  });
  return view;
}

void ReviewWindow::SetCaptions() {
  setWindowTitle(Text(review_text::kWindowTitle));
  const ReviewCriteria& criteria = list_.Criteria();
  const QString field = qm::Text(FieldRecordOf(criteria.field).textId, language_);
  if (criteria.searchText.isEmpty()) {
    lblCriteria->setText(
        modResource::printf(Text(review_text::kFill), {field, criteria.replaceText}));
  } else if (criteria.replaceText.isEmpty()) {
    lblCriteria->setText(
        modResource::printf(Text(review_text::kRemove), {criteria.searchText, field}));
  } else {
    lblCriteria->setText(modResource::printf(Text(review_text::kReplace),
                                             {criteria.searchText, criteria.replaceText, field}));
  }
  lblFilter->setText(Text(review_text::kFilter));
  cmdCheckAll->setText(Text(review_text::kCheckAll));
  cmdUncheckAll->setText(Text(review_text::kUncheckAll));
  lblChanges->setText(Text(review_text::kChangesHeading));
  cmdExport->setText(Text(progress_text::kExport));
  cmdApply->setText(Text(review_text::kApply));
  cmdCancel->setText(Text(review_text::kCancel));
}

void ReviewWindow::done(int result) {
  work_.stop();
  filterDelay_.stop();
  KeepWindowSize(*this, settingsKey_, kReviewSizeValues);
  QDialog::done(result);
}

void ReviewWindow::Work() {
  try {
    // The first rows as soon as there are any; then chunks of a slice each.
    const bool first = changes_->rowCount() + unchanged_->rowCount() == 0;
    const QDeadlineTimer deadline(first ? 0 : kSliceMs);
    if (!list_.Complete()) {
      list_.LookAtMore(deadline);
    }
    changes_->LookAtMore(deadline);
    unchanged_->LookAtMore(deadline);
  } catch (const Error& error) {
    failure_ = error;
    reject();
    return;
  } catch (const std::exception& error) {
    // Nothing may leave a timer's slot: the window's command reports it.
    failure_ = Error(-1, QStringLiteral("QMReplace"), QString::fromUtf8(error.what()));
    reject();
    return;
  }
  if (changes_->Complete() && unchanged_->Complete()) {
    work_.stop();
  }
  UpdateState();
}

void ReviewWindow::ApplyFilter() {
  filterDelay_.stop();
  const QString text = txtFilter->text();
  if (text == changes_->FilterText()) {
    return;
  }
  changes_->SetFilterText(text);
  unchanged_->SetFilterText(text);
  work_.start(0);
  UpdateState();
}

void ReviewWindow::UpdateState() {
  const bool listed = list_.Complete();
  if (listed) {
    lblCount->setText(modResource::printf(
        Text(review_text::kCount),
        {Number(list_.CheckedCount()), Number(list_.Rows(ReviewSection::Changes))}));
  } else {
    lblCount->setText(modResource::printf(Text(review_text::kLooking),
                                          {Number(list_.LookedAt()), Number(list_.Total())}));
  }
  prgLooking->setVisible(!listed);
  // A progress bar counts in int: large lists in thousandths.
  prgLooking->setRange(0, 1000);
  prgLooking->setValue(list_.Total() > 0 ? static_cast<int>(list_.LookedAt() * 1000 / list_.Total())
                                         : 1000);

  const bool filtered = !changes_->FilterText().isEmpty();
  lblShown->setVisible(filtered);
  if (filtered) {
    lblShown->setText(modResource::printf(Text(review_text::kShown),
                                          {changes_->rowCount() + unchanged_->rowCount()}));
  }
  const std::int64_t unchanged = list_.Rows(ReviewSection::Unchanged);
  lblUnchanged->setText(
      modResource::printf(Text(review_text::kUnchangedHeading), {Number(unchanged)}));
  lblUnchanged->setVisible(unchanged > 0);
  lstUnchanged->setVisible(unchanged > 0);

  const bool shownComplete = changes_->Complete();
  cmdCheckAll->setEnabled(listed && shownComplete);
  cmdUncheckAll->setEnabled(listed && shownComplete);
  cmdApply->setEnabled(listed && list_.CheckedCount() > 0);
  cmdExport->setEnabled(listed);
}

bool ReviewWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize && (watched == lstChanges || watched == lstUnchanged)) {
    auto* resize = static_cast<QResizeEvent*>(event);
    FitColumns(*static_cast<QTableView*>(watched), resize->oldSize().width(),
               resize->size().width());
  }
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    const bool plain = (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (watched == txtFilter && plain &&
        (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
      // Enter in the filter box filters at once; it never applies the run.
      ApplyFilter();
      return true;
    }
    if (watched == lstChanges && plain && key->key() == Qt::Key_Space) {
      ToggleSelection();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ReviewWindow::Export() {
  // Only the export can fail here: the review stays open as it was.
  ExportToChosenFile(this, chooseFile_, language_, Text(progress_text::kExportFileName),
                     [this](const QString& path) { ExportReviewList(list_, path, language_); });
}

void ReviewWindow::ToggleSelection() {
  const QModelIndex current = lstChanges->currentIndex();
  if (!current.isValid()) {
    return;
  }
  QItemSelection selection = lstChanges->selectionModel()->selection();
  if (!lstChanges->selectionModel()->isRowSelected(current.row(), QModelIndex())) {
    selection = QItemSelection(current, current);
  }
  // Every selected row takes the state the current row did not have.
  changes_->SetChecked(selection, !changes_->Checked(current.row()));
}

}  // namespace qm
