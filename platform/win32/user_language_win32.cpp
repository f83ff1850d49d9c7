#include "platform/user_language.h"
#include "platform/win32/win32_handles.h"

namespace qm::platform {

std::uint16_t GetUserDefaultLangID() { return ::GetUserDefaultLangID(); }

}  // namespace qm::platform
