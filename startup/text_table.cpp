#include "startup/text_table.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "platform/error.h"
#include "platform/string_resources.h"
#include "platform/user_language.h"

namespace qm::startup {
namespace {

struct TextRow {
  std::uint16_t id;
  const char16_t* english;
  const char16_t* german;
};

// Sorted by identifier. Leading and trailing blanks are part of the texts.
constexpr TextRow kTexts[] = {
    {100, u"Quillmark - Search and Replace",
     u"Quillmarke - Suchen und Ersetzen"},
    {101, u"Search the following collection or folder:",
     u"Suchen in folgender Sammlung bzw. folgendem Ordner:"},
    {102, u"Browse...",
     u"Durchsuchen..."},
    {103, u"Include subfolders",
     u"Auch in Unterordnern suchen"},
    {104, u"Search for:",
     u"Suchen nach:"},
    {105, u"Replace found text with:",
     u"Gefundenen Text ersetzen mit:"},
    {108, u"Search and Replace",
     u"Suchen und Ersetzen"},
    {109, u"Please type a search string.",
     u"Bitte geben Sie einen Suchbegriff ein."},
    {110, u" documents updated!",
     u" Dokumente aktualisiert!"},
    {111, u"No documents found!",
     u"Keine Dokumente gefunden!"},
    {112, u"Search in:",
     u"Suchen in:"},
    {113, u"Title",
     u"Titel"},
    {114, u"Comment",
     u"Kommentar"},
    {115, u"Address",
     u"Adresse"},
    {118, u"Select a folder where you want to begin search and replace. To search an entire collection, select the collection.",
     u"Wählen Sie einen Ordner, in dem mit dem Suchen und Ersetzen begonnen werden soll. Um eine ganze Sammlung zu durchsuchen, markieren Sie die Sammlung."},
    {119, u"Choose Start Folder",
     u"Startordner auswählen"},
    {120, u"Notes:",
     u"Hinweise:"},
    {121, u"Exit",
     u"Beenden"},
    {124, u" documents match selected critera.",
     u" Dokumente entsprechen den ausgewählten Kriterien."},
    {125, u"Verify Matches",
     u"Fundstellen prüfen"},
    {126, u"  (entire collection)",
     u"  (gesamte Sammlung)"},
    {127, u"[*] documents contain the string '[*]' in the [*] field. Are you sure you want to replace these occurrences with '[*]'?",
     u"[*] Dokumente enthalten die Zeichenkette '[*]' im Feld '[*]'. Möchten Sie diese Vorkommnisse mit '[*]' ersetzen?"},
    {128, u"[*] documents contain the string '[*]' in the [*] field. Are you sure you want to remove these occurrences of the string?",
     u"[*] Dokumente enthalten die Zeichenkette '[*]' im Feld '[*]'. Sind Sie sicher, dass Sie diese Zeichenkette entfernen möchten?"},
    {129, u"No documents were found that have '[*]' in the [*] field.",
     u"Es wurde kein Dokument gefunden, das die Zeichenkette '[*]' im Feld '[*]' beinhaltet."},
    {130, u"This tool enables you to rename all documents within a Quillmark folder or collection based on specific criteria. You can also remove unwanted parts of document titles and comments.",
     u"Dieses Tool ermöglicht Ihnen, alle Dokumente in einem Quillmarke-Ordner oder einer -Sammlung gezielt umzubenennen. Außerdem können Sie unerwünschte Begriffe aus Dokumenttiteln und -kommentaren entfernen. "},
    {131, u"Search and Remove",
     u"Suchen und Entfernen"},
    {132, u"1. Choose collection or folder to search",
     u"1. Zu durchsuchende Sammlung bzw. Ordner auswählen"},
    {133, u"2. Specify text to find",
     u"2. Zu suchenden Text angeben"},
    {134, u"3. Specify removal or replacement",
     u"3. Entfernung oder Ersetzung festlegen"},
    {135, u"Remove found text occurrences",
     u"Gefundenen Text entfernen"},
    {136, u"Cancel",
     u"Abbrechen"},
    {139, u"Please type a string that should be inserted.",
     u"Bitte geben Sie einen Text an, der eingefügt werden soll."},
};

constexpr std::uint16_t kIds[] = {100, 101, 102, 103, 104, 105, 108, 109, 110, 111, 112, 113, 114, 115, 118, 119, 120, 121, 124, 125, 126, 127, 128, 129, 130, 131, 132, 133, 134, 135, 136, 139};

static_assert(std::size(kIds) == std::size(kTexts));

}  // namespace

TextLanguage UserTextLanguage() {
  return platform::IsGermanLanguage(platform::GetUserDefaultLangID()) ? TextLanguage::German
                                                                      : TextLanguage::English;
}

QString LoadText(std::uint16_t id, TextLanguage language) {
  const auto* row = std::lower_bound(std::begin(kTexts), std::end(kTexts), id,
                                     [](const TextRow& r, std::uint16_t key) { return r.id < key; });
  if (row == std::end(kTexts) || row->id != id) {
    throw Error(ErrorNumber(0x80040000u | 0x0716u), QStringLiteral("TextTable"),
                QStringLiteral("The text table holds no text %1.").arg(id));
  }
  // A program that carries the table as resources (the Windows build) reads
  // it from there; the rows above serve where it does not.
  const bool german = language == TextLanguage::German;
  if (std::optional<QString> resource = platform::LoadStringResource(id, german ? 0x0407 : 0x0409)) {
    return *resource;
  }
  return QString::fromUtf16(german ? row->german : row->english);
}

QString LoadText(std::uint16_t id) { return LoadText(id, UserTextLanguage()); }

const std::uint16_t* TextIdsBegin() { return std::begin(kIds); }
const std::uint16_t* TextIdsEnd() { return std::end(kIds); }

}  // namespace qm::startup
