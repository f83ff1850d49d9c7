// Keeps tests away from a person's real settings and gives them small tools
// for checking the program's errors.
#pragma once

#include <QString>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

#include "platform/error.h"

// Failed comparisons show texts as texts, not as arrays of 2-byte objects.
inline void PrintTo(const QString& text, std::ostream* out) {
  *out << '"' << text.toStdString() << '"';
}

namespace qm::testing {

// Points XDG_CONFIG_HOME at a fresh temporary folder for the whole process,
// before anything reads it, and selects the English locale unless a test
// says otherwise. Called by the test mains.
void IsolateEnvironment();

// Keeps the host windows this program makes and looks for apart from those of
// other programs running at the same time (on Windows, a desktop of the
// program's own). Called by the test mains before the first window.
void UsePrivateDesktop();

// A private XDG_CONFIG_HOME for one test (on Windows, a private registry key
// that stands for the roots): set on construction, the previous value
// restored on destruction. The registry store follows it at once.
class ScopedConfigHome {
 public:
  ScopedConfigHome();
  ~ScopedConfigHome();
  ScopedConfigHome(const ScopedConfigHome&) = delete;
  ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

  QString path() const { return dir_.path(); }

 private:
  QTemporaryDir dir_;
  QByteArray previous_;
  bool hadPrevious_ = false;
  QString previousSandbox_;
};

// The real registry for one scope, without the tests' sandbox (Windows only:
// the Linux store is always a file of the tests'). For tests that read back
// what the registry itself holds; they must clean up their own keys.
class NoRegistrySandbox {
 public:
  NoRegistrySandbox();
  ~NoRegistrySandbox();
  NoRegistrySandbox(const NoRegistrySandbox&) = delete;
  NoRegistrySandbox& operator=(const NoRegistrySandbox&) = delete;

 private:
  QString previous_;
};

// Sets an environment variable for one scope (a null QByteArray unsets it).
// A text, a path say, is given as a QString: it is stored in the form the
// system's environment keeps (the ANSI code page on Windows), so that the
// program reads back the same text.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const QByteArray& value);
  ScopedEnv(const char* name, const QString& value) : ScopedEnv(name, value.toLocal8Bit()) {}
  ScopedEnv(const char* name, const char* value) : ScopedEnv(name, QByteArray(value)) {}
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  QByteArray previous_;
  bool hadPrevious_;
};

}  // namespace qm::testing

// Runs a statement that must throw qm::Error and checks its number, source and
// description in one line.
#define EXPECT_QM_ERROR(statement, expectedNumber, expectedSource, expectedDescription) \
  do {                                                                                  \
    try {                                                                               \
      statement;                                                                        \
      ADD_FAILURE() << "expected qm::Error from: " #statement;                          \
    } catch (const qm::Error& qmError) {                                                \
      EXPECT_EQ(qmError.number(), static_cast<std::int32_t>(expectedNumber));           \
      EXPECT_EQ(qmError.source(), QString(expectedSource));                             \
      EXPECT_EQ(qmError.description(), QString(expectedDescription));                   \
    }                                                                                   \
  } while (false)
