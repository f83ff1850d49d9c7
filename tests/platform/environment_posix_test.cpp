// What the environment seam does on Linux only: names are case-sensitive and
// the "ANSI" code page is UTF-8 (tests/win32 holds the Windows answers).
#include <gtest/gtest.h>

#include "common/test_environment.h"
#include "platform/environment.h"

namespace qm::platform {
namespace {

TEST(ExpandEnvironmentStringsPosix, NamesAreCaseSensitive) {
  testing::ScopedEnv folder("QM_TEST_FOLDER", "/opt/host");
  EXPECT_EQ(ExpandEnvironmentStrings(QStringLiteral("%qm_test_folder%")),
            QStringLiteral("%qm_test_folder%"));
  EXPECT_EQ(ExpandEnvironmentStrings(QStringLiteral("%QM_TEST_FOLDER%")),
            QStringLiteral("/opt/host"));
}

// Windows has no variable with an empty value to set through the C library.
TEST(ExpandEnvironmentStringsPosix, AnEmptyValueExpandsToNothing) {
  testing::ScopedEnv empty("QM_TEST_EMPTY", "");
  EXPECT_EQ(ExpandEnvironmentStrings(QStringLiteral("a%QM_TEST_EMPTY%b")), QStringLiteral("ab"));
}

TEST(AnsiTextPosix, IsUtf8AndRoundTrips) {
  const QString text = QStringLiteral("Schlüssel \u20AC \U0001F600");
  EXPECT_EQ(ToAnsi(text), text.toUtf8());
  EXPECT_EQ(FromAnsi(ToAnsi(text)), text);
  EXPECT_EQ(FromAnsi(QByteArray("a\0b", 3)), QString::fromUtf8("a\0b", 3));
}

}  // namespace
}  // namespace qm::platform
