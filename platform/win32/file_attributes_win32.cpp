#include "platform/file_attributes.h"

#include <QDir>

#include "platform/win32/win32_handles.h"

namespace qm::platform {

bool IsNormalFile(const QString& path) {
  if (path.isEmpty()) {
    return false;
  }
  const std::wstring native = QDir::toNativeSeparators(path).toStdWString();
  const DWORD attributes = GetFileAttributesW(native.c_str());
  constexpr DWORD kNotNormal =
      FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kNotNormal) == 0;
}

}  // namespace qm::platform
