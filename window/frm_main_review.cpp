// Review changes: the window's entry points (Ctrl+R and the entry of its
// context menu) and the review window as the engine sees it.
#include <QAction>

#include "engine/review/review_run.h"
#include "text/texts.h"
#include "window/frm_main.h"
#include "window/frm_main_port.h"
#include "window/review_window.h"

namespace qm {
namespace {

class ReviewWindowPort final : public ReviewPort {
 public:
  ReviewWindowPort(QWidget& owner, QString settingsKey)
      : owner_(owner), settingsKey_(std::move(settingsKey)) {}

  bool Review(ReviewList& list) override {
    ReviewWindow review(list, settingsKey_, &owner_);
    const bool apply = review.exec() == QDialog::Accepted;
    if (review.Failure()) {
      throw *review.Failure();
    }
    return apply;
  }

 private:
  QWidget& owner_;
  QString settingsKey_;
};

}  // namespace

void frmMain::InstallReview() {
  AddContextCommand(Text(review_text::kMenuEntry), "actReviewChanges",
                    QKeySequence(Qt::CTRL | Qt::Key_R), &frmMain::ReviewChanges_Click);
}

void frmMain::ReviewChanges_Click() {
  RunCommand([this] {
    FrmMainPort port(*this);
    ReviewWindowPort review(*this, installation_.SettingsKey());
    KeepRunState([&] { return ReviewRun(port, port, review, port.ReadCriteria()); });
  });
}

}  // namespace qm
