// How far a run has come, shown where the user sees it without reading the
// dialog: the window's caption leads with the share of documents done
// ("42% - " and the caption as it was, with the minutes left once they can
// be guessed, time_left.h), and the taskbar button carries the same as a
// bar (platform/taskbar_progress.h). The notes line and the dialog's size
// stay as they are.
//
// The window owns it; the window's port (frm_main_port.h) hands it the
// engine's progress calls. End() gives the caption back as it was when the
// run began and takes the bar away. Nothing here throws.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

#include "platform/taskbar_progress.h"
#include "text/texts.h"

class QWidget;

namespace qm {

class RunProgressView {
 public:
  explicit RunProgressView(QWidget& window);
  ~RunProgressView();
  RunProgressView(const RunProgressView&) = delete;
  RunProgressView& operator=(const RunProgressView&) = delete;

  // The taskbar to show the bar in instead of the window's own button,
  // which is reached when first needed (tests give a recording one).
  void UseTaskbar(std::unique_ptr<platform::TaskbarProgress> taskbar);

  void Show(std::int64_t done, std::int64_t total);
  void Pause(bool paused);
  void End();
  bool Shown() const { return shown_; }

 private:
  platform::TaskbarProgress& Taskbar();

  QWidget& window_;
  std::unique_ptr<platform::TaskbarProgress> taskbar_;
  bool shown_ = false;
  QString caption_;
  QElapsedTimer elapsed_;
  // The bar moves in thousandths, not with every document.
  std::int64_t permille_ = -1;
};

// `caption` led by the whole percent of `done` of `total` (100 only when
// all are done) and, while some are left and `leftMs` is known, the minutes
// left, rounded up.
QString ProgressCaption(const QString& caption, std::int64_t done, std::int64_t total,
                        std::optional<std::int64_t> leftMs, TextLanguage language);

}  // namespace qm
