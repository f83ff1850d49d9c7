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
  // The wide form: an install folder the ANSI code page cannot spell must not
  // turn the name into question marks.
  std::vector<wchar_t> path(MAX_PATH);
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) {
      return QString();
    }
    if (length < path.size()) {
      return QFileInfo(QString::fromWCharArray(path.data(), static_cast<qsizetype>(length)))
          .completeBaseName();
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

std::optional<QByteArray> ToAnsiExactly(const QString& text) {
  if (text.isEmpty()) {
    return QByteArray();
  }
  const auto* wide = reinterpret_cast<LPCWCH>(text.utf16());
  const int units = static_cast<int>(text.size());
  // A code page of single or double bytes reports whether its default
  // character had to stand in; no best-fit letter may stand in either. UTF-8
  // as the system's code page holds everything but broken surrogates, and
  // takes neither of those requests.
  const bool utf8 = GetACP() == CP_UTF8;
  const DWORD flags = utf8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL usedDefault = FALSE;
  LPBOOL report = utf8 ? nullptr : &usedDefault;
  const int size = WideCharToMultiByte(CP_ACP, flags, wide, units, nullptr, 0, nullptr, report);
  if (size <= 0 || usedDefault) {
    return std::nullopt;
  }
  QByteArray bytes(size, '\0');
  if (WideCharToMultiByte(CP_ACP, flags, wide, units, bytes.data(), size, nullptr, report) !=
          size ||
      usedDefault) {
    return std::nullopt;
  }
  return bytes;
}

std::optional<QString> FromAnsiExactly(const QByteArray& bytes) {
  if (bytes.isEmpty()) {
    return QString();
  }
  const int length = static_cast<int>(bytes.size());
  const int units =
      MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.constData(), length, nullptr, 0);
  if (units <= 0) {
    return std::nullopt;
  }
  QString text(units, QChar());
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, bytes.constData(), length,
                          reinterpret_cast<LPWSTR>(text.data()), units) != units) {
    return std::nullopt;
  }
  return text;
}

QString FromAnsi(const QByteArray& bytes) {
  if (bytes.isEmpty()) {
    return QString();
  }
  const int length = static_cast<int>(bytes.size());
  const int units = MultiByteToWideChar(CP_ACP, 0, bytes.constData(), length, nullptr, 0);
  QString text(units, QChar());
  MultiByteToWideChar(CP_ACP, 0, bytes.constData(), length, reinterpret_cast<LPWSTR>(text.data()),
                      units);
  return text;
}

}  // namespace qm::platform
