#include <chrono>
#include <thread>

#include "platform/desktop.h"

namespace qm::platform {

void Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

void InitCommonControls() {}

}  // namespace qm::platform
