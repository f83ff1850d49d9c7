#include <QFileInfo>

#include <vector>

#include "platform/environment.h"
#include "platform/win32/win32_handles.h"

namespace qm::platform {

QString ExpandEnvironmentStrings(const QString& text) {
  const QByteArray source = ToAnsi(text);
  // First ask for the size (terminator included), then expand into it; the
  // environment may grow in between, so a short second answer is retried.
  DWORD needed = ExpandEnvironmentStringsA(source.constData(), nullptr, 0);
  for (int attempt = 0; attempt < 3 && needed != 0; ++attempt) {
    std::vector<char> buffer(needed);
    const DWORD written = ExpandEnvironmentStringsA(source.constData(), buffer.data(), needed);
    if (written == 0) {
      break;
    }
    if (written <= needed) {
      return FromAnsi(QByteArray(buffer.data()));
    }
    needed = written;
  }
  return text;  // nothing could be expanded: the text as stored
}

QString ProgramBaseName() {
  std::vector<char> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return QString();
    }
    if (length < path.size()) {
      return QFileInfo(FromAnsi(QByteArray(path.data(), length))).completeBaseName();
    }
    path.resize(path.size() * 2);
  }
}

QByteArray ToAnsi(const QString& text) {
  if (text.isEmpty()) {
    return QByteArray();
  }
  const auto* wide = reinterpret_cast<LPCWCH>(text.utf16());
  const int units = static_cast<int>(text.size());
  const int size = WideCharToMultiByte(CP_ACP, 0, wide, units, nullptr, 0, nullptr, nullptr);
  QByteArray bytes(size, '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, units, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

QString FromAnsi(const QByteArray& bytes) {
  if (bytes.isEmpty()) {
    return QString();
  }
  const int length = static_cast<int>(bytes.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, bytes.constData(), length, nullptr, 0);
  QString text(units, QChar());
  MultiByteToWideChar(CP_ACP, 0, bytes.constData(), length, reinterpret_cast<LPWSTR>(text.data()), units);
  return text;
}

}  // namespace qm::platform
