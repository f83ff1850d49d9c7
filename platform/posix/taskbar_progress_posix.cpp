#include "platform/taskbar_progress.h"

namespace qm::platform {
namespace {

class NoTaskbar final : public TaskbarProgress {
 public:
  void SetProgress(std::int64_t /*done*/, std::int64_t /*total*/) override {}
  void SetPaused(bool /*paused*/) override {}
  void Clear() override {}
};

}  // namespace

std::unique_ptr<TaskbarProgress> TaskbarProgressOf(WindowHandle /*window*/) {
  return std::make_unique<NoTaskbar>();
}

}  // namespace qm::platform
