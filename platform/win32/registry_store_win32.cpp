// The registry seam over the real registry, through its ANSI functions.
//
// Names and texts cross in the ANSI code page (ToAnsi/FromAnsi); values go
// through as the registry keeps them. Every call opens the key it needs and
// closes it again (RegistryKey). Result codes are the registry's own.
//
// Tests must not write into a person's real keys: when the environment names
// a sandbox key (QM_REGISTRY_SANDBOX, a path below HKEY_CURRENT_USER), each
// root is a subkey of it instead. Nothing but the test programs sets it.
#include <QStringList>

#include <vector>

#include "platform/environment.h"
#include "platform/registry_store.h"
#include "platform/win32/win32_handles.h"

namespace qm::platform {
namespace {

constexpr char kSandboxVariable[] = "QM_REGISTRY_SANDBOX";
constexpr DWORD kSubkeyNameBuffer = 256;  // 255 characters and the terminator

// Where a root and a path lead: a real root and the path below it.
struct Place {
  HKEY root = nullptr;
  QByteArray path;
};

Place Locate(std::uint32_t root, const QString& path) {
  const QString sandbox = qEnvironmentVariable(kSandboxVariable);
  // A root the system does not know stays unknown in the sandbox too, so
  // that the call fails there as it would without one.
  if (sandbox.isEmpty() || win32::RootKey(root) == nullptr) {
    return Place{win32::RootKey(root), ToAnsi(path)};
  }
  QString inside = sandbox + QStringLiteral("\\%1").arg(root, 8, 16, QLatin1Char('0'));
  if (!path.isEmpty()) {
    inside += QLatin1Char('\\') + path;
  }
  return Place{HKEY_CURRENT_USER, ToAnsi(inside)};
}

// In a sandbox the roots are keys of their own, which have to exist before
// anything below them can be opened, as a real root always does.
void EnsureSandboxRoot(std::uint32_t root) {
  if (qEnvironmentVariableIsEmpty(kSandboxVariable) || win32::RootKey(root) == nullptr) {
    return;
  }
  const Place rootPlace = Locate(root, QString());
  win32::RegistryKey key;
  RegCreateKeyExA(rootPlace.root, rootPlace.path.constData(), 0, nullptr, 0, KEY_READ, nullptr,
                  key.put(), nullptr);
}

std::int32_t Open(std::uint32_t root, const QString& path, REGSAM access, win32::RegistryKey* key) {
  EnsureSandboxRoot(root);
  const Place place = Locate(root, path);
  return static_cast<std::int32_t>(
      RegOpenKeyExA(place.root, place.path.constData(), 0, access, key->put()));
}

class Win32RegistryStore final : public RegistryStore {
 public:
  std::int32_t OpenKey(std::uint32_t root, const QString& path) override {
    win32::RegistryKey key;
    return Open(root, path, KEY_QUERY_VALUE, &key);
  }

  std::int32_t CreateKey(std::uint32_t root, const QString& path) override {
    EnsureSandboxRoot(root);
    const Place place = Locate(root, path);
    win32::RegistryKey key;
    return static_cast<std::int32_t>(RegCreateKeyExA(place.root, place.path.constData(), 0, nullptr,
                                                     REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                                     key.put(), nullptr));
  }

  std::int32_t DeleteKey(std::uint32_t root, const QString& path) override {
    EnsureSandboxRoot(root);
    const Place place = Locate(root, path);
    return static_cast<std::int32_t>(RegDeleteKeyA(place.root, place.path.constData()));
  }

  std::int32_t QueryValue(std::uint32_t root, const QString& path, const QString& name,
                          RegistryValue* out) override {
    win32::RegistryKey key;
    if (const std::int32_t opened = Open(root, path, KEY_QUERY_VALUE, &key); opened != reg::kSuccess) {
      return opened;
    }
    const QByteArray valueName = ToAnsi(name);
    // The value may change between the size query and the read; a value
    // that grew is asked for again.
    for (;;) {
      DWORD type = 0;
      DWORD size = 0;
      LSTATUS status = RegQueryValueExA(key.get(), valueName.constData(), nullptr, &type, nullptr, &size);
      if (status != ERROR_SUCCESS) {
        return static_cast<std::int32_t>(status);
      }
      QByteArray data(static_cast<qsizetype>(size), '\0');
      DWORD read = size;
      status = RegQueryValueExA(key.get(), valueName.constData(), nullptr, &type,
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
    if (const std::int32_t opened = Open(root, path, KEY_SET_VALUE, &key); opened != reg::kSuccess) {
      return opened;
    }
    return static_cast<std::int32_t>(RegSetValueExA(key.get(), ToAnsi(name).constData(), 0, type,
                                                    reinterpret_cast<const BYTE*>(data.constData()),
                                                    static_cast<DWORD>(data.size())));
  }

  std::int32_t DeleteValue(std::uint32_t root, const QString& path, const QString& name) override {
    win32::RegistryKey key;
    if (const std::int32_t opened = Open(root, path, KEY_SET_VALUE, &key); opened != reg::kSuccess) {
      return opened;
    }
    return static_cast<std::int32_t>(RegDeleteValueA(key.get(), ToAnsi(name).constData()));
  }

  std::int32_t EnumValueNames(std::uint32_t root, const QString& path, QStringList* names) override {
    names->clear();
    win32::RegistryKey key;
    if (const std::int32_t opened = Open(root, path, KEY_QUERY_VALUE, &key); opened != reg::kSuccess) {
      return opened;
    }
    DWORD longest = 0;
    LSTATUS status = RegQueryInfoKeyA(key.get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                      nullptr, &longest, nullptr, nullptr, nullptr);
    if (status != ERROR_SUCCESS) {
      return static_cast<std::int32_t>(status);
    }
    std::vector<char> buffer(longest + 1);
    for (DWORD index = 0;; ++index) {
      DWORD length = static_cast<DWORD>(buffer.size());
      status = RegEnumValueA(key.get(), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) {
        return reg::kSuccess;
      }
      if (status != ERROR_SUCCESS) {
        return static_cast<std::int32_t>(status);
      }
      names->append(FromAnsi(QByteArray(buffer.data(), static_cast<qsizetype>(length))));
    }
  }

  std::int32_t EnumSubkeyNames(std::uint32_t root, const QString& path, QStringList* names) override {
    names->clear();
    win32::RegistryKey key;
    if (const std::int32_t opened = Open(root, path, KEY_ENUMERATE_SUB_KEYS, &key);
        opened != reg::kSuccess) {
      return opened;
    }
    char buffer[kSubkeyNameBuffer];
    for (DWORD index = 0;; ++index) {
      DWORD length = kSubkeyNameBuffer;
      const LSTATUS status =
          RegEnumKeyExA(key.get(), index, buffer, &length, nullptr, nullptr, nullptr, nullptr);
      if (status == ERROR_NO_MORE_ITEMS) {
        return reg::kSuccess;
      }
      if (status != ERROR_SUCCESS) {
        return static_cast<std::int32_t>(status);
      }
      names->append(FromAnsi(QByteArray(buffer, static_cast<qsizetype>(length))));
    }
  }
};

}  // namespace

RegistryStore& SystemRegistry() {
  static Win32RegistryStore store;
  return store;
}

// There is no file: the store is the registry.
QString RegistryFilePath() { return QString(); }

}  // namespace qm::platform
