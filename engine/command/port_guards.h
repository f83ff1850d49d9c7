// Scope guards that put the window back however a command ends, so a failure
// never leaves the wait cursor on or the Start button disabled.
#pragma once

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

}  // namespace qm
