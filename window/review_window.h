// The review window: every document a run would visit, the changes of its
// field marked, with a check box each; Apply runs the checked ones.
//
// It completes the list a chunk at a time while it is open (the header shows
// how far, then how many documents will be changed), so that the first rows
// are there at once and the window stays responsive. A filter box narrows
// both lists by text; "Check all" and "Uncheck all" act on the rows the
// filter shows. Space checks or unchecks every selected row. Apply (the
// default button) is there once every document was looked at and one is
// checked; Cancel or Esc closes the window without changing anything, also
// while the list is being made. Export... (once every document was looked
// at) writes the whole list, whatever the filter shows, to a CSV file the
// user picks (review_export.h); a failure to write it is shown and changes
// nothing else.
//
// The window's size is kept in the host's settings key; a registry that
// refuses it costs only the remembered size.
#pragma once

#include <QDialog>
#include <QTimer>

#include <functional>
#include <optional>

#include "engine/review/review_list.h"
#include "platform/error.h"
#include "text/texts.h"
#include "window/dialog_kit.h"

class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QTableView;

namespace qm {

class ReviewModel;

class ReviewWindow final : public QDialog {
  Q_OBJECT

 public:
  ReviewWindow(ReviewList& list, QString settingsKey, QWidget* parent = nullptr);
  ~ReviewWindow() override;

  // A host failure met while the list was made; the window closed itself.
  const std::optional<Error>& Failure() const { return failure_; }

  ReviewModel& Changes() const { return *changes_; }

  // Asks where Export saves the list; tests answer in its place.
  void SetFileChooser(FileChooser chooser) { chooseFile_ = std::move(chooser); }
  ReviewModel& Unchanged() const { return *unchanged_; }

  QLabel* lblCriteria = nullptr;
  QLabel* lblCount = nullptr;
  QProgressBar* prgLooking = nullptr;
  QLabel* lblFilter = nullptr;
  QLineEdit* txtFilter = nullptr;
  QLabel* lblShown = nullptr;
  QPushButton* cmdCheckAll = nullptr;
  QPushButton* cmdUncheckAll = nullptr;
  QLabel* lblChanges = nullptr;
  QTableView* lstChanges = nullptr;
  QLabel* lblUnchanged = nullptr;
  QTableView* lstUnchanged = nullptr;
  QPushButton* cmdExport = nullptr;
  QPushButton* cmdApply = nullptr;
  QPushButton* cmdCancel = nullptr;

 public slots:
  void done(int result) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QString Text(int id) const;
  void CreateControls();
  void SetCaptions();
  QTableView* CreateList(ReviewModel* model, const char* name);
  // One chunk of the work: the list, then both filters.
  void Work();
  void ApplyFilter();
  void UpdateState();
  void ToggleSelection();
  void Export();

  ReviewList& list_;
  QString settingsKey_;
  TextLanguage language_;
  ReviewModel* changes_ = nullptr;
  ReviewModel* unchanged_ = nullptr;
  QTimer work_;
  QTimer filterDelay_;
  std::optional<Error> failure_;
  FileChooser chooseFile_;
};

}  // namespace qm
