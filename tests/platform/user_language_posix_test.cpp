#include "platform/user_language.h"

#include <gtest/gtest.h>

#include "common/test_environment.h"

namespace qm::platform {
namespace {

using testing::ScopedEnv;

TEST(LangIdFromLocaleName, MapsLocaleNamesToWindowsIdentifiers) {
  const struct {
    const char* locale;
    std::uint16_t expected;
  } cases[] = {
      {"de_DE", 0x0407},
      {"de_DE.UTF-8", 0x0407},
      {"de_DE@euro", 0x0407},
      {"de_AT.UTF-8", 0x0C07},
      {"de_CH", 0x0807},
      {"de_LU", 0x1007},
      {"de_LI", 0x1407},
      {"de", 0x0407},
      {"DE-de", 0x0407},
      {"en_US.UTF-8", 0x0409},
      {"en_GB", 0x0809},
      {"en", 0x0409},
      {"fr_FR", 0x040C},
      {"fr_CA", 0x0C0C},
      {"es_ES", 0x0C0A},
      {"es", 0x0C0A},
      {"es_MX", 0x080A},
      {"it_IT", 0x0410},
      {"nl_NL", 0x0413},
      {"nl_BE", 0x0813},
      {"pt_BR", 0x0416},
      {"pt_PT", 0x0816},
      {"ja_JP.eucJP", 0x0411},
      {"zh_CN.GB18030", 0x0804},
      {"zh_TW", 0x0404},
      {"ru_RU", 0x0419},
      {"pl_PL", 0x0415},
      {"sv_SE", 0x041D},
      {"nb_NO", 0x0414},
      {"tr_TR", 0x041F},
      // A known language in a region the table lacks keeps its language only.
      {"de_BE", 0x0007},
      {"en_NG", 0x0009},
      // Nothing usable: English (United States).
      {"C", 0x0409},
      {"C.UTF-8", 0x0409},
      {"POSIX", 0x0409},
      {"", 0x0409},
      {"xx_YY", 0x0409},
      {"german", 0x0409},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(LangIdFromLocaleName(QString::fromLatin1(c.locale)), c.expected) << c.locale;
  }
}

TEST(LangIdFromLocaleName, GermanRegionsAreGermanButOnlyGermanyIs0407) {
  for (const char* locale : {"de_DE", "de_AT", "de_CH", "de_LU", "de_LI", "de_BE"}) {
    EXPECT_TRUE(IsGermanLanguage(LangIdFromLocaleName(QString::fromLatin1(locale)))) << locale;
  }
  EXPECT_FALSE(IsGermanLanguage(LangIdFromLocaleName("en_DE")));
  EXPECT_EQ(LangIdFromLocaleName("en_DE"), 0x0009);
}

TEST(GetUserDefaultLangID, TakesTheFirstSetOfLcAllLcMessagesAndLang) {
  const struct {
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    std::uint16_t expected;
  } cases[] = {
      {nullptr, nullptr, "de_DE.UTF-8", 0x0407},
      {nullptr, "fr_FR.UTF-8", "de_DE.UTF-8", 0x040C},
      {"de_AT.UTF-8", "fr_FR.UTF-8", "en_US.UTF-8", 0x0C07},
      {"", "", "de_CH", 0x0807},  // empty counts as unset
      {"C", nullptr, "de_DE.UTF-8", 0x0409},
      {nullptr, nullptr, nullptr, 0x0409},
  };
  for (const auto& c : cases) {
    ScopedEnv lcAll("LC_ALL", c.lcAll ? QByteArray(c.lcAll) : QByteArray());
    ScopedEnv lcMessages("LC_MESSAGES", c.lcMessages ? QByteArray(c.lcMessages) : QByteArray());
    ScopedEnv lang("LANG", c.lang ? QByteArray(c.lang) : QByteArray());
    EXPECT_EQ(GetUserDefaultLangID(), c.expected)
        << (c.lcAll ? c.lcAll : "-") << " " << (c.lcMessages ? c.lcMessages : "-") << " "
        << (c.lang ? c.lang : "-");
  }
}

}  // namespace
}  // namespace qm::platform
