// The registry seam over the real registry, through its ANSI functions.
//
// Key paths and value names cross in the ANSI code page, exactly or not at
// all: one the code page cannot hold is refused with
// ERROR_NO_UNICODE_TRANSLATION rather than written with "?" in it. Values go
// through as the registry keeps them. Every call opens the key it needs in
// the store's view and closes it again (RegistryKey). Result codes are the
// registry's own.
//
// Tests must not write into a person's real keys: they name a sandbox key
// (SetRegistrySandbox, a path below HKEY_CURRENT_USER) in which each root is
// a subkey of its own. The program never names one.
#include <QStringList>

#include <optional>
#include <vector>

#include "platform/environment.h"
#include "platform/registry_store.h"
#include "platform/win32/win32_handles.h"

namespace qm::platform {
namespace {

// Set by the test programs only, before their first registry call.
QString& Sandbox() {
  static QString sandbox;
  return sandbox;
}

// Where a root and a path lead: a real root and the path below it, in the
// ANSI code page; no path when the code page cannot hold it.
struct Place {
  HKEY root = nullptr;
  std::optional<QByteArray> path;
};

Place Locate(std::uint32_t root, const QString& path) {
  const QString& sandbox = Sandbox();
  // A root the system does not know stays unknown in the sandbox too, so
  // that the call fails there as it would without one.
  if (sandbox.isEmpty() || win32::RootKey(root) == nullptr) {
    return Place{win32::RootKey(root), ToAnsiExactly(path)};
  }
  QString inside = sandbox + QStringLiteral("\\%1").arg(root, 8, 16, QLatin1Char('0'));
  if (!path.isEmpty()) {
    inside += QLatin1Char('\\') + path;
  }
  return Place{HKEY_CURRENT_USER, ToAnsiExactly(inside)};
}

class Win32RegistryStore final : public RegistryStore {
 public:
  explicit Win32RegistryStore(REGSAM view) : view_(view) {}

  std::int32_t OpenKey(std::uint32_t root, const QString& path) override {
    win32::RegistryKey key;
    return Open(root, path, KEY_QUERY_VALUE, &key);
  }

  std::int32_t CreateKey(std::uint32_t root, const QString& path) override {
    EnsureSandboxRoot(root);
    const Place place = Locate(root, path);
    if (!place.path) {
      return reg::kNoUnicodeTranslation;
    }
    win32::RegistryKey key;
    return static_cast<std::int32_t>(
        RegCreateKeyExA(place.root, place.path->constData(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_WRITE | view_, nullptr, key.put(), nullptr));
  }

  std::int32_t DeleteKey(std::uint32_t root, const QString& path) override {
    EnsureSandboxRoot(root);
    const Place place = Locate(root, path);
    if (!place.path) {
      return reg::kNoUnicodeTranslation;
    }
    return static_cast<std::int32_t>(
        RegDeleteKeyExA(place.root, place.path->constData(), view_, 0));
  }

  std::int32_t QueryValue(std::uint32_t root, const QString& path, const QString& name,
                          RegistryValue* out) override {
    win32::RegistryKey key;
    if (const std::int32_t opened = Open(root, path, KEY_QUERY_VALUE, &key);
        opened != reg::kSuccess) {
      return opened;
    }
    const std::optional<QByteArray> valueName = ToAnsiExactly(name);
    if (!valueName) {
      return reg::kFileNotFound;  // a name the code page cannot hold names no stored value
    }
    // The value may change between the size query and the read; a value
    // that grew is asked for again.
    for (;;) {
      DWORD type = 0;
      DWORD size = 0;
      LSTATUS status =
          RegQueryValueExA(key.get(), valueName->constData(), nullptr, &type, nullptr, &size);
      if (status != ERROR_SUCCESS) {
        return static_cast<std::int32_t>(status);
      }
      QByteArray data(static_cast<qsizetype>(size), '\0');
      DWORD read = size;
      status = RegQueryValueExA(key.get(), valueName->constData(), nullptr, &type,
                                reinterpret_cast<LPBYTE>(data.data()), &read);
      if (status == ERROR_MORE_DATA) {
        continue;
      }
      if (status != ERROR_SUCCESS) {
        return static_cast<std::int32_t>(status);
      }
      data.truncate(static_cast<qsizetype>(read));
      out->type = type;
      out->data = data;
      return reg::kSuccess;
    }
  }

  std::int32_t SetValue(std::uint32_t root, const QString& path, const QString& name,
                        std::uint32_t type, const QByteArray& data) override {
    win32::RegistryKey key;
    if (const std::int32_t opened = Open(root, path, KEY_SET_VALUE, &key);
        opened != reg::kSuccess) {
      return opened;
    }
    const std::optional<QByteArray> valueName = ToAnsiExactly(name);
    if (!valueName) {
      return reg::kNoUnicodeTranslation;
    }
    return static_cast<std::int32_t>(RegSetValueExA(key.get(), valueName->constData(), 0, type,
                                                    reinterpret_cast<const BYTE*>(data.constData()),
                                                    static_cast<DWORD>(data.size())));
  }

  std::int32_t DeleteValue(std::uint32_t root, const QString& path, const QString& name) override {
    win32::RegistryKey key;
    if (const std::int32_t opened = Open(root, path, KEY_SET_VALUE, &key);
        opened != reg::kSuccess) {
      return opened;
    }
    const std::optional<QByteArray> valueName = ToAnsiExactly(name);
    if (!valueName) {
      return reg::kFileNotFound;
    }
    return static_cast<std::int32_t>(RegDeleteValueA(key.get(), valueName->constData()));
  }

  std::int32_t EnumValueNames(std::uint32_t root, const QString& path,
                              QStringList* names) override {
    names->clear();
    win32::RegistryKey key;
    if (const std::int32_t opened = Open(root, path, KEY_QUERY_VALUE, &key);
        opened != reg::kSuccess) {
      return opened;
    }
    // The key tells its longest name in characters; in a double-byte code
    // page a character may take two bytes.
    DWORD longest = 0;
    const LSTATUS status = RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr,
                                            nullptr, nullptr, &longest, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) {
      return static_cast<std::int32_t>(status);
    }
    return EnumNames(2 * longest + 1, names, [&key](DWORD index, char* buffer, DWORD* length) {
      return RegEnumValueA(key.get(), index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
  }

  std::int32_t EnumSubkeyNames(std::uint32_t root, const QString& path,
                               QStringList* names) override {
    names->clear();
    win32::RegistryKey key;
    if (const std::int32_t opened = Open(root, path, KEY_ENUMERATE_SUB_KEYS, &key);
        opened != reg::kSuccess) {
      return opened;
    }
    // A key name has at most 255 characters, two bytes each at most.
    constexpr DWORD kLongestKeyName = 2 * 255 + 1;
    return EnumNames(kLongestKeyName, names, [&key](DWORD index, char* buffer, DWORD* length) {
      return RegEnumKeyExA(key.get(), index, buffer, length, nullptr, nullptr, nullptr, nullptr);
    });
  }

 private:
  // In a sandbox the roots are keys of their own, which have to exist before
  // anything below them can be opened, as a real root always does.
  void EnsureSandboxRoot(std::uint32_t root) const {
    if (Sandbox().isEmpty() || win32::RootKey(root) == nullptr) {
      return;
    }
    const Place rootPlace = Locate(root, QString());
    if (!rootPlace.path) {
      return;
    }
    win32::RegistryKey key;
    RegCreateKeyExA(rootPlace.root, rootPlace.path->constData(), 0, nullptr, 0, KEY_READ | view_,
                    nullptr, key.put(), nullptr);
  }

  std::int32_t Open(std::uint32_t root, const QString& path, REGSAM access,
                    win32::RegistryKey* key) const {
    EnsureSandboxRoot(root);
    const Place place = Locate(root, path);
    if (!place.path) {
      return reg::kFileNotFound;  // a path the code page cannot hold leads to no stored key
    }
    return static_cast<std::int32_t>(
        RegOpenKeyExA(place.root, place.path->constData(), 0, access | view_, key->put()));
  }

  // Reads the names from index 0 until the registry has no more. A name
  // longer than the buffer (ERROR_MORE_DATA) is asked for again with a
  // bigger one; any other failure ends the listing with the names so far.
  template <typename Enumerate>
  static std::int32_t EnumNames(DWORD size, QStringList* names, Enumerate enumerate) {
    std::vector<char> buffer(size);
    for (DWORD index = 0;;) {
      DWORD length = static_cast<DWORD>(buffer.size());
      const LSTATUS status = enumerate(index, buffer.data(), &length);
      if (status == ERROR_NO_MORE_ITEMS) {
        return reg::kSuccess;
      }
      if (status == ERROR_MORE_DATA && buffer.size() < 0x10000) {
        buffer.resize(buffer.size() * 2);
        continue;
      }
      if (status != ERROR_SUCCESS) {
        return static_cast<std::int32_t>(status);
      }
      names->append(FromAnsi(QByteArray(buffer.data(), static_cast<qsizetype>(length))));
      ++index;
    }
  }

  REGSAM view_;
};

}  // namespace

RegistryStore& SystemRegistry(RegistryView view) {
  static Win32RegistryStore view32(KEY_WOW64_32KEY);
  static Win32RegistryStore view64(KEY_WOW64_64KEY);
  return view == RegistryView::k32Bit ? view32 : view64;
}

void SetRegistrySandbox(const QString& keyBelowCurrentUser) { Sandbox() = keyBelowCurrentUser; }

// There is no file: the store is the registry.
QString RegistryFilePath() { return QString(); }

}  // namespace qm::platform
