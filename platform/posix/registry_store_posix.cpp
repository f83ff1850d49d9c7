// The Linux registry: one SQLite file shared by every process of the user.
//
// Layout: a table of keys (parent, name as first written, folded name) and a
// table of values (key, name, folded name, type, raw bytes). Each hive is a
// row with parent 0. Names are matched by their case fold; subkeys and values
// enumerate in the order they were first created (a value that is rewritten
// keeps its place).
//
// Every operation opens the file, runs one transaction and closes it again,
// so two processes can share the store and a crash loses at most the write
// in flight. A store that is missing reads as empty. One that cannot be read
// or is not ours reads as empty too, but every write to it fails with a
// result code and leaves the file exactly as it was: we never "repair" a
// file by replacing it, because that would throw away what it holds.
#include "platform/registry_store.h"

#include <QDir>
#include <QFileInfo>

#include <functional>
#include <utility>

#include "platform/environment.h"
#include "platform/posix/registry_db_posix.h"
#include "platform/text_fold.h"

namespace qm::platform {

namespace {

using posix::Database;
using posix::DbFailure;
using posix::OpenMode;
using posix::Statement;

// The registry's own limits on name lengths, in characters.
constexpr qsizetype kMaxKeyNameLength = 255;
constexpr qsizetype kMaxValueNameLength = 16383;

struct Hive {
  std::uint32_t root;
  const char* name;
};

constexpr Hive kHives[] = {
    {reg::kClassesRoot, "HKEY_CLASSES_ROOT"},     {reg::kCurrentUser, "HKEY_CURRENT_USER"},
    {reg::kLocalMachine, "HKEY_LOCAL_MACHINE"},   {reg::kUsers, "HKEY_USERS"},
    {reg::kCurrentConfig, "HKEY_CURRENT_CONFIG"},
};

const char* HiveName(std::uint32_t root) {
  for (const Hive& hive : kHives) {
    if (hive.root == root) {
      return hive.name;
    }
  }
  return nullptr;
}

// A null name is the empty one (a key's default value), never SQL's NULL.
QString NotNull(const QString& name) { return name.isNull() ? QStringLiteral("") : name; }
QString Folded(const QString& name) { return NotNull(FoldCase(name)); }

QString HiveToken(std::uint32_t root) { return QString::number(root, 16); }

// Empty parts (a leading, trailing or doubled backslash) name nothing and
// are skipped.
QStringList KeyParts(const QString& path) {
  return path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
}

// As on Windows, where names cross in the ANSI code page: a name that has
// no form in it (here UTF-8: a broken surrogate) names nothing that can be
// stored.
bool Spellable(const QString& name) { return ToAnsiExactly(name).has_value(); }

bool KeyNamesFit(const QStringList& parts) {
  for (const QString& part : parts) {
    if (part.size() > kMaxKeyNameLength) {
      return false;
    }
  }
  return true;
}

// The id of the key, or 0 when it (or its hive) does not exist.
std::int64_t FindKey(const Database& db, std::uint32_t root, const QStringList& parts) {
  Statement find(db, "SELECT id FROM keys WHERE parent=?1 AND folded=?2");
  find.Bind(1, std::int64_t{0}).Bind(2, HiveToken(root));
  if (!find.Step()) {
    return 0;
  }
  std::int64_t id = find.Int(0);
  for (const QString& part : parts) {
    find.Reset();
    find.Bind(1, id).Bind(2, Folded(part));
    if (!find.Step()) {
      return 0;
    }
    id = find.Int(0);
  }
  return id;
}

std::int64_t FindOrInsertKey(Statement& find, Statement& insert, std::int64_t parent,
                             const QString& name, const QString& folded) {
  find.Reset();
  find.Bind(1, parent).Bind(2, folded);
  if (find.Step()) {
    return find.Int(0);
  }
  insert.Reset();
  insert.Bind(1, parent).Bind(2, NotNull(name)).Bind(3, folded);
  if (!insert.Step()) {
    throw DbFailure{reg::kBadDatabase};
  }
  const std::int64_t id = insert.Int(0);
  insert.Run();
  return id;
}

std::int64_t CreateKeyPath(const Database& db, std::uint32_t root, const QStringList& parts) {
  Statement find(db, "SELECT id FROM keys WHERE parent=?1 AND folded=?2");
  Statement insert(db, "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3) RETURNING id");
  std::int64_t id =
      FindOrInsertKey(find, insert, 0, QString::fromLatin1(HiveName(root)), HiveToken(root));
  for (const QString& part : parts) {
    id = FindOrInsertKey(find, insert, id, part, Folded(part));
  }
  return id;
}

QStringList NamesOf(const Database& db, const char* sql, std::int64_t key) {
  Statement list(db, sql);
  list.Bind(1, key);
  QStringList names;
  while (list.Step()) {
    names.append(list.Text(0));
  }
  return names;
}

class SqliteRegistryStore final : public RegistryStore {
 public:
  explicit SqliteRegistryStore(std::function<QString()> path) : path_(std::move(path)) {}

  std::int32_t OpenKey(std::uint32_t root, const QString& path) override {
    const QStringList parts = KeyParts(path);
    return Read(root, [&](const Database& db) {
      return FindKey(db, root, parts) != 0 ? reg::kSuccess : reg::kFileNotFound;
    });
  }

  std::int32_t CreateKey(std::uint32_t root, const QString& path) override {
    const QStringList parts = KeyParts(path);
    if (!KeyNamesFit(parts)) {
      return HiveName(root) ? reg::kInvalidParameter : reg::kInvalidHandle;
    }
    if (HiveName(root) != nullptr && !Spellable(path)) {
      return reg::kNoUnicodeTranslation;
    }
    return Write(root, [&](const Database& db) {
      CreateKeyPath(db, root, parts);
      return reg::kSuccess;
    });
  }

  std::int32_t DeleteKey(std::uint32_t root, const QString& path) override {
    const QStringList parts = KeyParts(path);
    if (parts.isEmpty()) {
      return HiveName(root) ? reg::kAccessDenied : reg::kInvalidHandle;  // a hive stays
    }
    return Write(root, [&](const Database& db) {
      const std::int64_t key = FindKey(db, root, parts);
      if (key == 0) {
        return reg::kFileNotFound;
      }
      Statement children(db, "SELECT 1 FROM keys WHERE parent=?1 LIMIT 1");
      children.Bind(1, key);
      if (children.Step()) {
        return reg::kAccessDenied;
      }
      Statement(db, "DELETE FROM vals WHERE key=?1").Bind(1, key).Run();
      Statement(db, "DELETE FROM keys WHERE id=?1").Bind(1, key).Run();
      return reg::kSuccess;
    });
  }

  std::int32_t QueryValue(std::uint32_t root, const QString& path, const QString& name,
                          RegistryValue* out) override {
    const QStringList parts = KeyParts(path);
    return Read(root, [&](const Database& db) {
      const std::int64_t key = FindKey(db, root, parts);
      if (key == 0) {
        return reg::kFileNotFound;
      }
      Statement query(db, "SELECT type, data FROM vals WHERE key=?1 AND folded=?2");
      query.Bind(1, key).Bind(2, Folded(name));
      if (!query.Step()) {
        return reg::kFileNotFound;
      }
      if (out != nullptr) {
        out->type = static_cast<std::uint32_t>(query.Int(0));
        out->data = query.Blob(1);
      }
      return reg::kSuccess;
    });
  }

  std::int32_t SetValue(std::uint32_t root, const QString& path, const QString& name,
                        std::uint32_t type, const QByteArray& data) override {
    const QStringList parts = KeyParts(path);
    if (name.size() > kMaxValueNameLength) {
      return HiveName(root) ? reg::kInvalidParameter : reg::kInvalidHandle;
    }
    if (HiveName(root) != nullptr && !Spellable(name)) {
      return reg::kNoUnicodeTranslation;
    }
    return Write(root, [&](const Database& db) {
      const std::int64_t key = FindKey(db, root, parts);
      if (key == 0) {
        return reg::kFileNotFound;
      }
      // An update in place keeps the value's first spelling and its position.
      Statement(db,
                "INSERT INTO vals(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
                "ON CONFLICT(key, folded) DO UPDATE SET type=excluded.type, data=excluded.data")
          .Bind(1, key)
          .Bind(2, NotNull(name))
          .Bind(3, Folded(name))
          .Bind(4, static_cast<std::int64_t>(type))
          .BindBlob(5, data)
          .Run();
      return reg::kSuccess;
    });
  }

  std::int32_t DeleteValue(std::uint32_t root, const QString& path, const QString& name) override {
    const QStringList parts = KeyParts(path);
    return Write(root, [&](const Database& db) {
      const std::int64_t key = FindKey(db, root, parts);
      if (key == 0) {
        return reg::kFileNotFound;
      }
      Statement remove(db, "DELETE FROM vals WHERE key=?1 AND folded=?2 RETURNING id");
      remove.Bind(1, key).Bind(2, Folded(name));
      const bool removed = remove.Step();
      remove.Run();
      return removed ? reg::kSuccess : reg::kFileNotFound;
    });
  }

  std::int32_t EnumValueNames(std::uint32_t root, const QString& path,
                              QStringList* names) override {
    return Enumerate(root, path, "SELECT name FROM vals WHERE key=?1 ORDER BY id", names);
  }

  std::int32_t EnumSubkeyNames(std::uint32_t root, const QString& path,
                               QStringList* names) override {
    return Enumerate(root, path, "SELECT name FROM keys WHERE parent=?1 ORDER BY id", names);
  }

 private:
  std::int32_t Enumerate(std::uint32_t root, const QString& path, const char* sql,
                         QStringList* names) {
    names->clear();
    const QStringList parts = KeyParts(path);
    return Read(root, [&](const Database& db) {
      const std::int64_t key = FindKey(db, root, parts);
      if (key == 0) {
        return reg::kFileNotFound;
      }
      *names = NamesOf(db, sql, key);
      return reg::kSuccess;
    });
  }

  // A store that is missing, unreadable or damaged has nothing to read.
  template <typename Body>
  std::int32_t Read(std::uint32_t root, Body&& body) {
    if (HiveName(root) == nullptr) {
      return reg::kInvalidHandle;
    }
    try {
      return posix::RunTransaction(path_(), OpenMode::kRead, std::forward<Body>(body));
    } catch (const DbFailure&) {
      return reg::kFileNotFound;
    }
  }

  template <typename Body>
  std::int32_t Write(std::uint32_t root, Body&& body) {
    if (HiveName(root) == nullptr) {
      return reg::kInvalidHandle;
    }
    try {
      return posix::RunTransaction(path_(), OpenMode::kWrite, std::forward<Body>(body));
    } catch (const DbFailure& failure) {
      return failure.code;
    }
  }

  std::function<QString()> path_;
};

}  // namespace

QString RegistryFilePath() {
  // A relative XDG_CONFIG_HOME is invalid and must be ignored.
  QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
  if (base.isEmpty() || QDir::isRelativePath(base)) {
    base = QDir::homePath() + QStringLiteral("/.config");
  }
  return base + QStringLiteral("/qmregistry/registry.db");
}

RegistryStore& SystemRegistry(RegistryView) {
  static SqliteRegistryStore store(&RegistryFilePath);
  return store;
}

void SetRegistrySandbox(const QString&) {}

std::unique_ptr<RegistryStore> OpenRegistryFile(const QString& path) {
  return std::make_unique<SqliteRegistryStore>([path] { return path; });
}

}  // namespace qm::platform
