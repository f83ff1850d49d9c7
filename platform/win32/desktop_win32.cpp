#include "platform/desktop.h"
#include "platform/win32/win32_handles.h"

#include <commctrl.h>

namespace qm::platform {

void Sleep(int milliseconds) { ::Sleep(static_cast<DWORD>(milliseconds < 0 ? 0 : milliseconds)); }

void InitCommonControls() { ::InitCommonControls(); }

}  // namespace qm::platform
