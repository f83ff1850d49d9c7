// Scope guards that put the window back however a command ends, so a failure
// never leaves the wait cursor on, the Start button disabled or a run's
// progress showing.
#pragma once

#include <cstdint>

#include "engine/command/window_port.h"

namespace qm {

class BusyCursor {
 public:
  explicit BusyCursor(WindowPort& port) : port_(port) { port_.SetBusyCursor(true); }
  ~BusyCursor() { Release(); }
  BusyCursor(const BusyCursor&) = delete;
  BusyCursor& operator=(const BusyCursor&) = delete;
  void Release() {
    if (active_) {
      active_ = false;
      port_.SetBusyCursor(false);
    }
  }

 private:
  WindowPort& port_;
  bool active_ = true;
};

class RunningWindow {
 public:
  explicit RunningWindow(WindowPort& port) : port_(port) { port_.SetRunning(true); }
  ~RunningWindow() { Release(); }
  RunningWindow(const RunningWindow&) = delete;
  RunningWindow& operator=(const RunningWindow&) = delete;
  void Release() {
    if (active_) {
      active_ = false;
      port_.SetRunning(false);
    }
  }

 private:
  WindowPort& port_;
  bool active_ = true;
};

// The progress of a run over `total` documents: 0 of them when it begins,
// one more with every Step() (never beyond `total`), ended however the run
// ends. Without documents (`total` of 0) it shows nothing.
class RunProgress {
 public:
  RunProgress(WindowPort& port, std::int64_t total) : port_(port), total_(total) {
    if (total_ > 0) {
      active_ = true;
      port_.ShowProgress(0, total_);
    }
  }
  ~RunProgress() { Release(); }
  RunProgress(const RunProgress&) = delete;
  RunProgress& operator=(const RunProgress&) = delete;
  // Another document is done, whatever became of it (saved, left, gone).
  void Step() {
    if (active_ && done_ < total_) {
      port_.ShowProgress(++done_, total_);
    }
  }
  std::int64_t Done() const { return done_; }
  void Release() {
    if (active_) {
      active_ = false;
      port_.EndProgress();
    }
  }

 private:
  WindowPort& port_;
  std::int64_t total_;
  std::int64_t done_ = 0;
  bool active_ = false;
};

}  // namespace qm
