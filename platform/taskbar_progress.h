// The progress a window's taskbar button shows while the window works.
//
// On Windows this is the shell's ITaskbarList3 on the window's HWND: a bar
// in the button, normal or paused (yellow), or none. On Linux there is no
// such button: every call does nothing. The window owns the object;
// destroying it takes the bar away. A taskbar that cannot be reached (no
// shell, no COM) is no failure: the calls then do nothing, as on Linux.
#pragma once

#include <cstdint>
#include <memory>

namespace qm::platform {

using WindowHandle = std::uintptr_t;  // as in host_window.h; 0 stands for none

class TaskbarProgress {
 public:
  virtual ~TaskbarProgress() = default;
  // `done` of `total` (total > 0); shows the bar if it was not shown.
  virtual void SetProgress(std::int64_t done, std::int64_t total) = 0;
  // Paused keeps the bar where it is and shows it as waiting.
  virtual void SetPaused(bool paused) = 0;
  // No bar.
  virtual void Clear() = 0;
};

// The taskbar button of the top-level window `window` (QWidget::winId(), on
// Windows its HWND).
std::unique_ptr<TaskbarProgress> TaskbarProgressOf(WindowHandle window);

}  // namespace qm::platform
