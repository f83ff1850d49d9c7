#include "platform/taskbar_progress.h"
#include "platform/win32/win32_handles.h"

#include <objbase.h>
#include <shobjidl.h>

namespace qm::platform {
namespace {

// The shell's taskbar list for one window. Its calls fail only where the
// shell has no button for the window, which is not worth a message: the
// run goes on all the same.
class ShellTaskbar final : public TaskbarProgress {
 public:
  explicit ShellTaskbar(HWND window) : window_(window) {
    // The window's thread is the GUI thread, a single-threaded apartment;
    // Qt has mostly entered it already (S_FALSE), and a thread in another
    // apartment (RPC_E_CHANGED_MODE) can still create the object.
    const HRESULT entered = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    entered_ = SUCCEEDED(entered);
    ITaskbarList3* list = nullptr;
    if (window_ != nullptr &&
        SUCCEEDED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ITaskbarList3, reinterpret_cast<void**>(&list)))) {
      if (SUCCEEDED(list->HrInit())) {
        list_ = list;
      } else {
        list->Release();
      }
    }
  }
  ~ShellTaskbar() override {
    if (list_ != nullptr) {
      list_->SetProgressState(window_, TBPF_NOPROGRESS);
      list_->Release();
    }
    if (entered_) {
      CoUninitialize();
    }
  }
  ShellTaskbar(const ShellTaskbar&) = delete;
  ShellTaskbar& operator=(const ShellTaskbar&) = delete;

  void SetProgress(std::int64_t done, std::int64_t total) override {
    if (list_ == nullptr || total <= 0 || done < 0) {
      return;
    }
    // From no bar to a normal one; a paused bar stays paused.
    list_->SetProgressValue(window_, static_cast<ULONGLONG>(done), static_cast<ULONGLONG>(total));
  }
  void SetPaused(bool paused) override {
    if (list_ != nullptr) {
      list_->SetProgressState(window_, paused ? TBPF_PAUSED : TBPF_NORMAL);
    }
  }
  void Clear() override {
    if (list_ != nullptr) {
      list_->SetProgressState(window_, TBPF_NOPROGRESS);
    }
  }

 private:
  HWND window_;
  bool entered_ = false;
  ITaskbarList3* list_ = nullptr;
};

}  // namespace

std::unique_ptr<TaskbarProgress> TaskbarProgressOf(WindowHandle window) {
  return std::make_unique<ShellTaskbar>(reinterpret_cast<HWND>(window));
}

}  // namespace qm::platform
