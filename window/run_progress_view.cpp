#include "window/run_progress_view.h"

#include <QWidget>

#include <algorithm>

#include "engine/command/time_left.h"
#include "text/mod_resource.h"

namespace qm {

QString ProgressCaption(const QString& caption, std::int64_t done, std::int64_t total,
                        std::optional<std::int64_t> leftMs, TextLanguage language) {
  const auto percent = static_cast<qlonglong>(total > 0 ? done * 100 / total : 100);
  if (done >= total || !leftMs) {
    return modResource::printf(Text(progress_text::kCaptionDone, language), {percent, caption});
  }
  constexpr std::int64_t kMinuteMs = 60000;
  const auto minutes =
      static_cast<qlonglong>(std::max<std::int64_t>(1, (*leftMs + kMinuteMs - 1) / kMinuteMs));
  return modResource::printf(Text(progress_text::kCaptionDoneTimeLeft, language),
                             {percent, minutes, caption});
}

RunProgressView::RunProgressView(QWidget& window) : window_(window) {}

RunProgressView::~RunProgressView() {
  if (shown_ && taskbar_) {
    taskbar_->Clear();
  }
}

void RunProgressView::UseTaskbar(std::unique_ptr<platform::TaskbarProgress> taskbar) {
  taskbar_ = std::move(taskbar);
}

platform::TaskbarProgress& RunProgressView::Taskbar() {
  if (!taskbar_) {
    taskbar_ = platform::TaskbarProgressOf(static_cast<platform::WindowHandle>(window_.winId()));
  }
  return *taskbar_;
}

void RunProgressView::Show(std::int64_t done, std::int64_t total) {
  if (total <= 0) {
    return;
  }
  if (!shown_) {
    shown_ = true;
    caption_ = window_.windowTitle();
    elapsed_.start();
    permille_ = -1;
  }
  const QString caption = ProgressCaption(
      caption_, done, total, TimeLeftMs(elapsed_.elapsed(), done, total), UserTextLanguage());
  if (caption != window_.windowTitle()) {
    window_.setWindowTitle(caption);
  }
  const std::int64_t permille = done * 1000 / total;
  if (permille != permille_) {
    permille_ = permille;
    Taskbar().SetProgress(done, total);
  }
}

void RunProgressView::Pause(bool paused) {
  if (shown_) {
    Taskbar().SetPaused(paused);
  }
}

void RunProgressView::End() {
  if (!shown_) {
    return;
  }
  shown_ = false;
  window_.setWindowTitle(caption_);
  Taskbar().Clear();
}

}  // namespace qm
