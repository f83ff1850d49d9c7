#include "platform/win32/win32_handles.h"

#include "platform/environment.h"

namespace qm::platform::win32 {

QString SystemMessage(DWORD code) {
  char* buffer = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<LPSTR>(&buffer), 0, nullptr);
  QString text;
  if (length != 0 && buffer != nullptr) {
    text = FromAnsi(QByteArray(buffer, static_cast<qsizetype>(length))).trimmed();
  }
  LocalFree(buffer);
  if (text.isEmpty()) {
    text = QStringLiteral("System error %1.").arg(code);
  }
  return text;
}

void ThrowWin32(DWORD code, const QString& source, const QString& doing) {
  throw Error(static_cast<std::int32_t>(code), source,
              QStringLiteral("%1: %2").arg(doing, SystemMessage(code)));
}

}  // namespace qm::platform::win32
