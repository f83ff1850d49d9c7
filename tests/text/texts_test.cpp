#include "text/texts.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "common/test_environment.h"

namespace {

using qm::TextLanguage;

QString LoadText(int id, TextLanguage language) { return qm::Text(id, language); }

// The window's table, by ID.
std::vector<std::uint16_t> TableIds() {
  std::vector<std::uint16_t> ids;
  for (const qm::TextRow& row : qm::TextRows(qm::TextTable::Window)) {
    ids.push_back(static_cast<std::uint16_t>(row.id));
  }
  return ids;
}

TEST(TextTable, HoldsExactlyTheIdentifiersTheProgramUses) {
  const std::vector<std::uint16_t> expected = {
      100, 101, 102, 103, 104, 105, 108, 109, 110, 111, 112, 113, 114, 115, 118, 119,
      120, 121, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 136, 139};
  const std::vector<std::uint16_t> ids = TableIds();
  EXPECT_EQ(ids, expected);
  for (std::uint16_t id : ids) {
    EXPECT_FALSE(LoadText(id, TextLanguage::English).isEmpty()) << id;
    EXPECT_FALSE(LoadText(id, TextLanguage::German).isEmpty()) << id;
  }
  EXPECT_QM_ERROR(LoadText(106, TextLanguage::English), 0x80040716u, "TextTable",
                  "The text table holds no text with the ID 106.");
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

// The whole table as the program shows it, blanks and all: a changed letter
// in any caption or message of either language is a fault the user sees.
TEST(TextTable, EveryTextInBothLanguagesExactly) {
  struct Row {
    std::uint16_t id;
    const char* english;
    const char* german;
  };
  const Row rows[] = {
      {100, "Quillmark - Search and Replace", "Quillmarke - Suchen und Ersetzen"},
      {101, "Search the following collection or folder:",
       "Suchen in folgender Sammlung bzw. folgendem Ordner:"},
      {102, "Browse...", "Durchsuchen..."},
      {103, "Include subfolders", "Auch in Unterordnern suchen"},
      {104, "Search for:", "Suchen nach:"},
      {105, "Replace found text with:", "Gefundenen Text ersetzen mit:"},
      {108, "Search and Replace", "Suchen und Ersetzen"},
      {109, "Please type a search string.", "Bitte geben Sie einen Suchbegriff ein."},
      {110, " documents updated!", " Dokumente aktualisiert!"},
      {111, "No documents found!", "Keine Dokumente gefunden!"},
      {112, "Search in:", "Suchen in:"},
      {113, "Title", "Titel"},
      {114, "Comment", "Kommentar"},
      {115, "Address", "Adresse"},
      {118,
       "Select a folder where you want to begin search and replace. To search an entire "
       "collection, select the collection.",
       "Wählen Sie einen Ordner, in dem mit dem Suchen und Ersetzen begonnen werden soll. Um eine "
       "ganze Sammlung zu durchsuchen, markieren Sie die Sammlung."},
      {119, "Choose Start Folder", "Startordner auswählen"},
      {120, "Notes:", "Hinweise:"},
      {121, "Exit", "Beenden"},
      {124, " documents match selected critera.",
       " Dokumente entsprechen den ausgewählten Kriterien."},
      {125, "Verify Matches", "Fundstellen prüfen"},
      {126, "  (entire collection)", "  (gesamte Sammlung)"},
      {127,
       "[*] documents contain the string '[*]' in the [*] field. Are you sure you want to replace "
       "these occurrences with '[*]'?",
       "[*] Dokumente enthalten die Zeichenkette '[*]' im Feld '[*]'. Möchten Sie diese "
       "Vorkommnisse mit '[*]' ersetzen?"},
      {128,
       "[*] documents contain the string '[*]' in the [*] field. Are you sure you want to remove "
       "these occurrences of the string?",
       "[*] Dokumente enthalten die Zeichenkette '[*]' im Feld '[*]'. Sind Sie sicher, dass Sie "
       "diese Zeichenkette entfernen möchten?"},
      {129, "No documents were found that have '[*]' in the [*] field.",
       "Es wurde kein Dokument gefunden, das die Zeichenkette '[*]' im Feld '[*]' beinhaltet."},
      {130,
       "This tool enables you to rename all documents within a Quillmark folder or collection "
       "based on specific criteria. You can also remove unwanted parts of document titles and "
       "comments.",
       "Dieses Tool ermöglicht Ihnen, alle Dokumente in einem Quillmarke-Ordner oder einer "
       "-Sammlung gezielt umzubenennen. Außerdem können Sie unerwünschte Begriffe aus "
       "Dokumenttiteln und -kommentaren entfernen. "},
      {131, "Search and Remove", "Suchen und Entfernen"},
      {132, "1. Choose collection or folder to search",
       "1. Zu durchsuchende Sammlung bzw. Ordner auswählen"},
      {133, "2. Specify text to find", "2. Zu suchenden Text angeben"},
      {134, "3. Specify removal or replacement", "3. Entfernung oder Ersetzung festlegen"},
      {135, "Remove found text occurrences", "Gefundenen Text entfernen"},
      {136, "Cancel", "Abbrechen"},
      {139, "Please type a string that should be inserted.",
       "Bitte geben Sie einen Text an, der eingefügt werden soll."},
  };
  const std::vector<std::uint16_t> ids = TableIds();
  ASSERT_EQ(ids.size(), std::size(rows));
  for (std::size_t i = 0; i < std::size(rows); ++i) {
    const Row& row = rows[i];
    EXPECT_EQ(ids[i], row.id);
    EXPECT_EQ(LoadText(row.id, TextLanguage::English), QString::fromUtf8(row.english)) << row.id;
    EXPECT_EQ(LoadText(row.id, TextLanguage::German), QString::fromUtf8(row.german)) << row.id;
  }
}

TEST(TextTablePosix, GermanForEveryGermanLocaleEnglishForAllOthers) {
  struct Case {
    const char* lang;
    TextLanguage expected;
  };
  const Case cases[] = {
      {"de_DE.UTF-8", TextLanguage::German},  {"de_AT.UTF-8", TextLanguage::German},
      {"de_CH", TextLanguage::German},        {"en_US.UTF-8", TextLanguage::English},
      {"fr_FR.UTF-8", TextLanguage::English}, {"C", TextLanguage::English},
  };
  for (const Case& c : cases) {
    qm::testing::ScopedEnv lang("LANG", c.lang);
    EXPECT_EQ(qm::UserTextLanguage(), c.expected) << c.lang;
  }
  qm::testing::ScopedEnv lang("LANG", "de_DE.UTF-8");
  EXPECT_EQ(qm::Text(113, qm::UserTextLanguage()), QStringLiteral("Titel"));
}

}  // namespace
