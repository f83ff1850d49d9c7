// The language follows Wine's locale, which Wine takes from the Unix locale
// the program starts under. ctest runs these cases twice, once under
// LANG=de_DE.UTF-8 and once under LANG=en_US.UTF-8, and tells them which
// language identifier to expect (QM_EXPECTED_LANGID).
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/string_resources.h"
#include "platform/user_language.h"
#include "startup/search_history.h"
#include "text/texts.h"

namespace qm {
namespace {

std::uint16_t ExpectedLangId() {
  bool ok = false;
  const int id = qEnvironmentVariable("QM_EXPECTED_LANGID").toInt(&ok, 0);
  return ok ? static_cast<std::uint16_t>(id) : 0;
}

TEST(Win32Language, TextsAndDefaultHistoryFollowTheLocale) {
  const std::uint16_t expected = ExpectedLangId();
  ASSERT_NE(expected, 0) << "QM_EXPECTED_LANGID is not set";
  ASSERT_EQ(platform::GetUserDefaultLangID(), expected);
  const bool german = expected == 0x0407;
  EXPECT_EQ(UserTextLanguage(), german ? TextLanguage::German : TextLanguage::English);
  EXPECT_EQ(Text(100, UserTextLanguage()), german
                                               ? QStringLiteral("Quillmarke - Suchen und Ersetzen")
                                               : QStringLiteral("Quillmark - Search and Replace"));
  const QStringList history =
      LoadSearchHistory(QStringLiteral("Software\\orbelon\\Quillmarke\\CurrentSettings"),
                        platform::GetUserDefaultLangID());
  EXPECT_EQ(history.size(), german ? 8 : 0);
}

// The program's string tables (the resource script QMReplace.exe carries,
// linked into this test program too) hold every identifier of the text
// table in both languages, blanks and umlauts kept.
TEST(Win32StringTables, HoldEveryTextInBothLanguagesAsWritten) {
  int found = 0;
  for (const TextRow& row : TextRows(TextTable::Window)) {
    const auto id = static_cast<std::uint16_t>(row.id);
    const std::optional<QString> english = platform::LoadStringResource(id, 0x0409);
    const std::optional<QString> german = platform::LoadStringResource(id, 0x0407);
    ASSERT_TRUE(english.has_value() && german.has_value()) << id;
    EXPECT_EQ(*english, Text(id, TextLanguage::English)) << id;
    EXPECT_EQ(*german, Text(id, TextLanguage::German)) << id;
    ++found;
  }
  EXPECT_EQ(found, 32);
  EXPECT_EQ(platform::LoadStringResource(110, 0x0409), QStringLiteral(" documents updated!"));
  EXPECT_EQ(platform::LoadStringResource(126, 0x0407), QStringLiteral("  (gesamte Sammlung)"));
  EXPECT_EQ(platform::LoadStringResource(125, 0x0407), QString::fromUtf8("Fundstellen prüfen"));
  EXPECT_TRUE(
      platform::LoadStringResource(130, 0x0407)->endsWith(QString::fromUtf8("entfernen. ")));
  EXPECT_FALSE(platform::LoadStringResource(106, 0x0409).has_value());
  EXPECT_FALSE(platform::LoadStringResource(100, 0x040C).has_value());  // no French table
  // LoadStringA, the system's own lookup, finds the same table.
  char buffer[64] = {};
  ASSERT_GT(LoadStringA(GetModuleHandleA(nullptr), 121, buffer, sizeof(buffer)), 0);
  EXPECT_TRUE(QString::fromLatin1(buffer) == QStringLiteral("Exit") ||
              QString::fromLatin1(buffer) == QStringLiteral("Beenden"));
}

}  // namespace
}  // namespace qm
