// Scope guards that put the window back however a command ends, so a failure
// never leaves the wait cursor on or the Start button disabled.
#pragma once

#include "engine/window_port.h"

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

class RunningState {
 public:
  explicit RunningState(WindowPort& port) : port_(port) { port_.SetRunning(true); }
  ~RunningState() { Release(); }
  RunningState(const RunningState&) = delete;
  RunningState& operator=(const RunningState&) = delete;
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
