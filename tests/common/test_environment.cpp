#include "common/test_environment.h"

#include <QDir>
#include <QFileInfo>

#include "platform/registry_store.h"

namespace qm::testing {
namespace {

// The Windows build's store is the real registry; there every private
// settings folder stands for a private key of its own below this one.
QString SandboxKeyFor(const QString& folder) {
  return QStringLiteral("Software\\QMReplace tests\\") + QFileInfo(folder).fileName();
}

// The sandbox the registry works in now.
QString& CurrentSandbox() {
  static QString sandbox;
  return sandbox;
}

void UseSandbox(const QString& key) {
  CurrentSandbox() = key;
  platform::SetRegistrySandbox(key);
}

}  // namespace

void IsolateEnvironment() {
  // Lives until the process exits, then goes with everything in it.
  static QTemporaryDir home;
  // Paths in the form the environment keeps them (ANSI on Windows, where
  // the profile folder of the suite's account holds an umlaut).
  qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
  UseSandbox(SandboxKeyFor(home.path()));
  qputenv("HOME", home.path().toLocal8Bit());
  // The host's message window follows the runtime folder when there is one;
  // without it, a test that points TMPDIR at a folder of its own gets a
  // message window of its own, apart from a real host and from other tests.
  qunsetenv("XDG_RUNTIME_DIR");
  // Tests hand the window a journal folder of their own; one that forgets
  // still finds its data folder here on Linux, not in the user's.
  qputenv("XDG_DATA_HOME", (home.path() + QStringLiteral("/data")).toUtf8());
  qunsetenv("LC_ALL");
  qunsetenv("LC_MESSAGES");
  qputenv("LANG", "en_US.UTF-8");
}

ScopedConfigHome::ScopedConfigHome()
    : previous_(qgetenv("XDG_CONFIG_HOME")),
      hadPrevious_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME")),
      previousSandbox_(CurrentSandbox()) {
  qputenv("XDG_CONFIG_HOME", dir_.path().toLocal8Bit());
  UseSandbox(SandboxKeyFor(dir_.path()));
}

ScopedConfigHome::~ScopedConfigHome() {
  UseSandbox(previousSandbox_);
  if (hadPrevious_) {
    qputenv("XDG_CONFIG_HOME", previous_);
  } else {
    qunsetenv("XDG_CONFIG_HOME");
  }
}

NoRegistrySandbox::NoRegistrySandbox() : previous_(CurrentSandbox()) { UseSandbox(QString()); }

NoRegistrySandbox::~NoRegistrySandbox() { UseSandbox(previous_); }

ScopedEnv::ScopedEnv(const char* name, const QByteArray& value)
    : name_(name), previous_(qgetenv(name)), hadPrevious_(qEnvironmentVariableIsSet(name)) {
  if (value.isNull()) {
    qunsetenv(name);
  } else {
    qputenv(name, value);
  }
}

ScopedEnv::~ScopedEnv() {
  if (hadPrevious_) {
    qputenv(name_, previous_);
  } else {
    qunsetenv(name_);
  }
}

}  // namespace qm::testing
