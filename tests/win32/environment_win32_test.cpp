// The environment seam's Windows answers: ExpandEnvironmentStringsA sees the
// process environment with names in any case, and texts cross in the ANSI
// code page (1252 for the English and German users of the suite).
#include <windows.h>
// The seam's own name, not the system's wide-character macro of that name.
#undef ExpandEnvironmentStrings

#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "platform/environment.h"

namespace qm::platform {
namespace {

TEST(Win32Environment, NamesMatchInAnyCase) {
  testing::ScopedEnv folder("QM_TEST_FOLDER", "C:\\Host");
  EXPECT_EQ(ExpandEnvironmentStrings(QStringLiteral("%qm_test_folder%\\bin")),
            QStringLiteral("C:\\Host\\bin"));
  EXPECT_EQ(ExpandEnvironmentStrings(QStringLiteral("%Qm_Test_Folder%")),
            QStringLiteral("C:\\Host"));
}

TEST(Win32Environment, WhatTheProcessSetsWithTheSystemIsSeenAsWell) {
  ASSERT_TRUE(SetEnvironmentVariableA("QM_TEST_SYSTEM_SET", "D:\\Data"));
  EXPECT_EQ(ExpandEnvironmentStrings(QStringLiteral("%QM_TEST_SYSTEM_SET%")),
            QStringLiteral("D:\\Data"));
  SetEnvironmentVariableA("QM_TEST_SYSTEM_SET", nullptr);
  EXPECT_EQ(ExpandEnvironmentStrings(QStringLiteral("%QM_TEST_SYSTEM_SET%")),
            QStringLiteral("%QM_TEST_SYSTEM_SET%"));
}

TEST(Win32AnsiText, IsTheAnsiCodePage) {
  ASSERT_EQ(GetACP(), 1252u);
  EXPECT_EQ(ToAnsi(QStringLiteral("Schlüssel \u20AC")), QByteArray("Schl\xFCssel \x80"));
  EXPECT_EQ(FromAnsi(QByteArray("Gr\xFC\xDF"
                                "e \x80")),
            QStringLiteral("Grüße \u20AC"));
  // What the code page lacks cannot cross; Windows puts its default character.
  EXPECT_EQ(ToAnsi(QStringLiteral("\u0416")), QByteArray("?"));
  EXPECT_EQ(FromAnsi(QByteArray("a\0b", 3)), QString::fromUtf8("a\0b", 3));
}

}  // namespace
}  // namespace qm::platform
