#include "startup/text_table.h"

#include <gtest/gtest.h>

#include <vector>

#include "common/test_environment.h"

namespace {

using qm::startup::LoadText;
using qm::startup::TextLanguage;

TEST(TextTable, HoldsExactlyTheIdentifiersTheProgramUses) {
  const std::vector<std::uint16_t> expected = {100, 101, 102, 103, 104, 105, 108, 109, 110, 111,
                                               112, 113, 114, 115, 118, 119, 120, 121, 124, 125,
                                               126, 127, 128, 129, 130, 131, 132, 133, 134, 135,
                                               136, 139};
  const std::vector<std::uint16_t> ids(qm::startup::TextIdsBegin(), qm::startup::TextIdsEnd());
  EXPECT_EQ(ids, expected);
  for (std::uint16_t id : ids) {
    EXPECT_FALSE(LoadText(id, TextLanguage::English).isEmpty()) << id;
    EXPECT_FALSE(LoadText(id, TextLanguage::German).isEmpty()) << id;
  }
  EXPECT_QM_ERROR(LoadText(106, TextLanguage::English), 0x80040716u, "TextTable",
                  "The text table holds no text 106.");
}

TEST(TextTable, KeepsTheBlanksThatJoinTextsToNumbersAndNames) {
  struct Case {
    std::uint16_t id;
    TextLanguage language;
    const char* text;
  };
  const Case cases[] = {
      {110, TextLanguage::English, " documents updated!"},
      {110, TextLanguage::German, " Dokumente aktualisiert!"},
      {124, TextLanguage::English, " documents match selected critera."},
      {126, TextLanguage::English, "  (entire collection)"},
      {126, TextLanguage::German, "  (gesamte Sammlung)"},
      {125, TextLanguage::German, "Fundstellen prüfen"},
      {139, TextLanguage::German, "Bitte geben Sie einen Text an, der eingefügt werden soll."},
      {129, TextLanguage::German,
       "Es wurde kein Dokument gefunden, das die Zeichenkette '[*]' im Feld '[*]' beinhaltet."},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LoadText(c.id, c.language), QString::fromUtf8(c.text)) << c.id;
  }
  EXPECT_TRUE(LoadText(130, TextLanguage::German).endsWith(QStringLiteral("entfernen. ")));
  EXPECT_FALSE(LoadText(130, TextLanguage::English).endsWith(QLatin1Char(' ')));
}

TEST(TextTable, GermanForEveryGermanLocaleEnglishForAllOthers) {
  struct Case {
    const char* lang;
    TextLanguage expected;
  };
  const Case cases[] = {
      {"de_DE.UTF-8", TextLanguage::German}, {"de_AT.UTF-8", TextLanguage::German},
      {"de_CH", TextLanguage::German},       {"en_US.UTF-8", TextLanguage::English},
      {"fr_FR.UTF-8", TextLanguage::English}, {"C", TextLanguage::English},
  };
  for (const Case& c : cases) {
    qm::testing::ScopedEnv lang("LANG", c.lang);
    EXPECT_EQ(qm::startup::UserTextLanguage(), c.expected) << c.lang;
  }
  qm::testing::ScopedEnv lang("LANG", "de_DE.UTF-8");
  EXPECT_EQ(LoadText(113), QStringLiteral("Titel"));
}

}  // namespace
