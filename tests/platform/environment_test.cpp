#include "platform/environment.h"

#include <gtest/gtest.h>

#include "common/test_environment.h"

namespace qm::platform {
namespace {

using testing::ScopedEnv;

TEST(ExpandEnvironmentStrings, ReplacesSetNamesAndKeepsEverythingElse) {
  ScopedEnv folder("QM_TEST_FOLDER", "/opt/host");
  ScopedEnv unset("QM_TEST_UNSET", QByteArray());
  const struct {
    const char* input;
    const char* expected;
  } cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"%QM_TEST_FOLDER%", "/opt/host"},
      {"%QM_TEST_FOLDER%\\bin\\%QM_TEST_FOLDER%", "/opt/host\\bin\\/opt/host"},
      {"%QM_TEST_UNSET%", "%QM_TEST_UNSET%"},
      {"%", "%"},
      {"50% off", "50% off"},
      {"%%", "%%"},
      {"%%QM_TEST_FOLDER%", "%%QM_TEST_FOLDER%"},
      {"%%%QM_TEST_FOLDER%", "%%/opt/host"},
      {"100% of %QM_TEST_FOLDER%", "100% of %QM_TEST_FOLDER%"},
      {"100%% of %QM_TEST_FOLDER%", "100%% of /opt/host"},
      {"%QM_TEST_UNSET%QM_TEST_FOLDER%", "%QM_TEST_UNSET%QM_TEST_FOLDER%"},
      {"%QM_TEST_UNSET%%QM_TEST_FOLDER%", "%QM_TEST_UNSET%/opt/host"},
      {"end%", "end%"},
      {"%A=B%", "%A=B%"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ExpandEnvironmentStrings(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected))
        << c.input;
  }
}

TEST(ExpandEnvironmentStrings, KeepsTextThatIsNotAscii) {
  // The environment holds bytes in the system's own encoding.
  ScopedEnv value("QM_TEST_UMLAUT", QStringLiteral("Grüße").toLocal8Bit());
  EXPECT_EQ(ExpandEnvironmentStrings(QStringLiteral("Ä%QM_TEST_UMLAUT%ß")),
            QStringLiteral("ÄGrüßeß"));
}

TEST(ProgramBaseName, IsTheTestBinaryWithoutFolder) {
  EXPECT_EQ(ProgramBaseName(), QStringLiteral("qm_platform_tests"));
}

}  // namespace
}  // namespace qm::platform
