// The program's texts in English and German, by name: the one table of them.
//
// kTableTexts is the text table the window is made of. On Windows the same
// rows are the program file's STRINGTABLE resources, which
// scripts/make_string_table.py writes from this file into
// startup/resources/string_table.rc (CI fails when that file is stale); their
// numbers are resource identifiers and never change. The other tables are
// the program's own texts, under numbers of their own (from 1001) that the
// window's Text() answers as well, so the engine asks for them as for any
// other text.
//
// Rows are sorted by number. Leading and trailing blanks are part of the
// texts; "[*]" marks what modResource::printf fills in.
#pragma once

#include <QString>

#include <algorithm>
#include <span>
#include <vector>

#include "platform/error.h"

namespace qm {

namespace text_id {
inline constexpr int kCaption = 100;
inline constexpr int kFolderLabel = 101;
inline constexpr int kBrowse = 102;
inline constexpr int kIncludeSubfolders = 103;
inline constexpr int kSearchFor = 104;
inline constexpr int kReplaceWith = 105;
inline constexpr int kStartReplace = 108;
inline constexpr int kNoSearchText = 109;
inline constexpr int kDocumentsUpdated = 110;
inline constexpr int kNoDocumentsFound = 111;
inline constexpr int kSearchIn = 112;
inline constexpr int kFieldTitle = 113;
inline constexpr int kFieldComment = 114;
inline constexpr int kFieldAddress = 115;
inline constexpr int kChooseFolderPrompt = 118;
inline constexpr int kChooseFolderCaption = 119;
inline constexpr int kNotesLabel = 120;
inline constexpr int kExit = 121;
inline constexpr int kDocumentsMatch = 124;
inline constexpr int kVerifyMatches = 125;
inline constexpr int kEntireCollection = 126;
inline constexpr int kConfirmReplace = 127;
inline constexpr int kConfirmRemove = 128;
inline constexpr int kNothingMatches = 129;
inline constexpr int kDescription = 130;
inline constexpr int kStartRemove = 131;
inline constexpr int kStepFolder = 132;
inline constexpr int kStepSearch = 133;
inline constexpr int kStepReplace = 134;
inline constexpr int kRemoveOption = 135;
inline constexpr int kCancel = 136;
inline constexpr int kNoReplacementText = 139;
}  // namespace text_id

namespace undo_text {
// "[*] more documents are not listed."
inline constexpr int kPreviewNotListed = 1001;
// "[*]: '[*]' becomes '[*]'"  (title, before, after)
inline constexpr int kPreviewLine = 1002;
// "[*]: '[*]' stays as it is" (title, value)
inline constexpr int kPreviewUnchanged = 1003;
// The undo question: count, collection, field, search text, replacement.
inline constexpr int kUndoQuestion = 1004;
// "[*] documents restored, [*] left as they were because they changed since."
inline constexpr int kUndoDone = 1005;
inline constexpr int kNothingToUndo = 1006;
// "The collection '[*]' of the last run no longer exists. Nothing was changed."
inline constexpr int kCollectionGone = 1007;
// "The journal was damaged. It was kept as '[*]' and a new one was started."
inline constexpr int kJournalMovedAside = 1008;
inline constexpr int kUndoMenuEntry = 1009;
// The last run still goes on in another window: search text, replacement.
// (These fit the two lines of the notes line.)
inline constexpr int kRunStillGoing = 1010;
// "The collection '[*]' is no longer the one the last run changed..."
inline constexpr int kCollectionNotSame = 1011;
// The journal was written by a newer version of the program.
inline constexpr int kJournalTooNew = 1012;
// After a run's note: documents deleted since its query, left out.
inline constexpr int kDocumentsGone = 1013;
// A run or undo refused while another window changes the same collection:
// collection, search text, replacement of the run going on there.
inline constexpr int kCollectionBusyRun = 1014;
// The same while another window undoes a run of that collection.
inline constexpr int kCollectionBusyUndo = 1015;
// While undo looks at the documents before it asks.
inline constexpr int kLookingAtRun = 1016;
// The undo question for a run that did not end by itself (killed, failed):
// the documents that still hold what it wrote, collection, field, search
// text, replacement.
inline constexpr int kUndoQuestionUnfinished = 1017;
// Such a run that left nothing to undo: search text, replacement.
inline constexpr int kNothingLeftOfRun = 1018;
}  // namespace undo_text

namespace review_text {
inline constexpr int kMenuEntry = 1101;
inline constexpr int kWindowTitle = 1102;
// What the run does: search text, replacement, field.
inline constexpr int kReplace = 1103;
// Search text, field.
inline constexpr int kRemove = 1104;
// Field, replacement.
inline constexpr int kFill = 1105;
// Documents looked at, of all.
inline constexpr int kLooking = 1106;
// Checked documents, of those that change.
inline constexpr int kCount = 1107;
inline constexpr int kFilter = 1108;
inline constexpr int kCheckAll = 1109;
inline constexpr int kUncheckAll = 1110;
inline constexpr int kChangesHeading = 1111;
// Rows left as they are.
inline constexpr int kUnchangedHeading = 1112;
inline constexpr int kColumnDocument = 1113;
inline constexpr int kColumnBefore = 1114;
inline constexpr int kColumnAfter = 1115;
inline constexpr int kApply = 1116;
inline constexpr int kCancel = 1117;
// After Apply: checked documents the run left because they changed since.
inline constexpr int kLeftSinceListed = 1118;
// Rows the filter shows.
inline constexpr int kShown = 1119;
// A row whose document cannot be read: the host's description.
inline constexpr int kUnreadable = 1120;
}  // namespace review_text

// The window's messages about its own failures.
namespace own_text {
// The failure box: "%1" the error number, "%2" its source, "%3" its
// description.
inline constexpr int kFailureReport = 1201;
// A command that needs the host when start-up could not create it.
inline constexpr int kNoHost = 1202;
// A command that needs a start folder when none could be chosen.
inline constexpr int kNoStartFolder = 1203;
}  // namespace own_text

struct TextRow {
  int id;
  const char16_t* english;
  const char16_t* german;
};

// The rows keep the English text on the line of its number and the German
// one on the next, however short, so that the two read side by side.
// clang-format off
inline constexpr TextRow kTableTexts[] = {
    {text_id::kCaption, u"Quillmark - Search and Replace",
     u"Quillmarke - Suchen und Ersetzen"},
    {text_id::kFolderLabel, u"Search the following collection or folder:",
     u"Suchen in folgender Sammlung bzw. folgendem Ordner:"},
    {text_id::kBrowse, u"Browse...",
     u"Durchsuchen..."},
    {text_id::kIncludeSubfolders, u"Include subfolders",
     u"Auch in Unterordnern suchen"},
    {text_id::kSearchFor, u"Search for:",
     u"Suchen nach:"},
    {text_id::kReplaceWith, u"Replace found text with:",
     u"Gefundenen Text ersetzen mit:"},
    {text_id::kStartReplace, u"Search and Replace",
     u"Suchen und Ersetzen"},
    {text_id::kNoSearchText, u"Please type a search string.",
     u"Bitte geben Sie einen Suchbegriff ein."},
    {text_id::kDocumentsUpdated, u" documents updated!",
     u" Dokumente aktualisiert!"},
    {text_id::kNoDocumentsFound, u"No documents found!",
     u"Keine Dokumente gefunden!"},
    {text_id::kSearchIn, u"Search in:",
     u"Suchen in:"},
    {text_id::kFieldTitle, u"Title",
     u"Titel"},
    {text_id::kFieldComment, u"Comment",
     u"Kommentar"},
    {text_id::kFieldAddress, u"Address",
     u"Adresse"},
    {text_id::kChooseFolderPrompt, u"Select a folder where you want to begin search and replace. To search an entire collection, select the collection.",
     u"Wählen Sie einen Ordner, in dem mit dem Suchen und Ersetzen begonnen werden soll. Um eine ganze Sammlung zu durchsuchen, markieren Sie die Sammlung."},
    {text_id::kChooseFolderCaption, u"Choose Start Folder",
     u"Startordner auswählen"},
    {text_id::kNotesLabel, u"Notes:",
     u"Hinweise:"},
    {text_id::kExit, u"Exit",
     u"Beenden"},
    {text_id::kDocumentsMatch, u" documents match selected critera.",
     u" Dokumente entsprechen den ausgewählten Kriterien."},
    {text_id::kVerifyMatches, u"Verify Matches",
     u"Fundstellen prüfen"},
    {text_id::kEntireCollection, u"  (entire collection)",
     u"  (gesamte Sammlung)"},
    {text_id::kConfirmReplace, u"[*] documents contain the string '[*]' in the [*] field. Are you sure you want to replace these occurrences with '[*]'?",
     u"[*] Dokumente enthalten die Zeichenkette '[*]' im Feld '[*]'. Möchten Sie diese Vorkommnisse mit '[*]' ersetzen?"},
    {text_id::kConfirmRemove, u"[*] documents contain the string '[*]' in the [*] field. Are you sure you want to remove these occurrences of the string?",
     u"[*] Dokumente enthalten die Zeichenkette '[*]' im Feld '[*]'. Sind Sie sicher, dass Sie diese Zeichenkette entfernen möchten?"},
    {text_id::kNothingMatches, u"No documents were found that have '[*]' in the [*] field.",
     u"Es wurde kein Dokument gefunden, das die Zeichenkette '[*]' im Feld '[*]' beinhaltet."},
    {text_id::kDescription, u"This tool enables you to rename all documents within a Quillmark folder or collection based on specific criteria. You can also remove unwanted parts of document titles and comments.",
     u"Dieses Tool ermöglicht Ihnen, alle Dokumente in einem Quillmarke-Ordner oder einer -Sammlung gezielt umzubenennen. Außerdem können Sie unerwünschte Begriffe aus Dokumenttiteln und -kommentaren entfernen. "},
    {text_id::kStartRemove, u"Search and Remove",
     u"Suchen und Entfernen"},
    {text_id::kStepFolder, u"1. Choose collection or folder to search",
     u"1. Zu durchsuchende Sammlung bzw. Ordner auswählen"},
    {text_id::kStepSearch, u"2. Specify text to find",
     u"2. Zu suchenden Text angeben"},
    {text_id::kStepReplace, u"3. Specify removal or replacement",
     u"3. Entfernung oder Ersetzung festlegen"},
    {text_id::kRemoveOption, u"Remove found text occurrences",
     u"Gefundenen Text entfernen"},
    {text_id::kCancel, u"Cancel",
     u"Abbrechen"},
    {text_id::kNoReplacementText, u"Please type a string that should be inserted.",
     u"Bitte geben Sie einen Text an, der eingefügt werden soll."},
};

inline constexpr TextRow kUndoTexts[] = {
    {undo_text::kPreviewNotListed, u"[*] more documents are not listed.",
     u"[*] weitere Dokumente sind nicht aufgeführt."},
    {undo_text::kPreviewLine, u"[*]: '[*]' becomes '[*]'",
     u"[*]: '[*]' wird zu '[*]'"},
    {undo_text::kPreviewUnchanged, u"[*]: '[*]' stays as it is",
     u"[*]: '[*]' bleibt, wie es ist"},
    {undo_text::kUndoQuestion, u"Do you want to undo the last run? It changed [*] documents of the collection '[*]' in the [*] field, replacing '[*]' with '[*]'.",
     u"Möchten Sie den letzten Lauf rückgängig machen? Er hat [*] Dokumente der Sammlung '[*]' im Feld '[*]' geändert und '[*]' durch '[*]' ersetzt."},
    {undo_text::kUndoDone, u"[*] documents restored, [*] left as they were because they changed since.",
     u"[*] Dokumente wiederhergestellt, [*] belassen, weil sie seitdem geändert wurden."},
    {undo_text::kNothingToUndo, u"There is no run to undo.",
     u"Es gibt keinen Lauf, der rückgängig gemacht werden kann."},
    {undo_text::kCollectionGone, u"The collection '[*]' of the last run no longer exists. Nothing was changed.",
     u"Die Sammlung '[*]' des letzten Laufs gibt es nicht mehr. Es wurde nichts geändert."},
    {undo_text::kJournalMovedAside, u"The journal of runs was damaged. It was kept as '[*]' and a new one was started.",
     u"Das Protokoll der Läufe war beschädigt. Es wurde als '[*]' aufbewahrt und ein neues begonnen."},
    {undo_text::kUndoMenuEntry, u"Undo last run...",
     u"Letzten Lauf rückgängig machen..."},
    {undo_text::kRunStillGoing, u"The last run ('[*]' to '[*]') is still going in another window. Nothing was changed.",
     u"Der letzte Lauf ('[*]' zu '[*]') läuft noch in einem anderen Fenster. Es wurde nichts geändert."},
    {undo_text::kCollectionNotSame, u"The collection '[*]' is no longer the one the last run changed. Nothing was changed.",
     u"Die Sammlung '[*]' ist nicht mehr die des letzten Laufs. Es wurde nichts geändert."},
    {undo_text::kJournalTooNew, u"The journal of runs is from a newer version of this program. Nothing was changed.",
     u"Das Protokoll der Läufe stammt von einer neueren Programmversion. Es wurde nichts geändert."},
    {undo_text::kDocumentsGone, u"[*] no longer existed and were left out.",
     u"[*] gab es nicht mehr; sie wurden ausgelassen."},
    {undo_text::kCollectionBusyRun, u"Another window's run ('[2:*]' to '[3:*]') is changing the collection '[1:*]'. Nothing was changed.",
     u"Ein anderes Fenster ändert die Sammlung '[1:*]' ('[2:*]' zu '[3:*]'). Es wurde nichts geändert."},
    {undo_text::kCollectionBusyUndo, u"Another window is undoing a run ('[2:*]' to '[3:*]') of the collection '[1:*]'. Nothing was changed.",
     u"Ein anderes Fenster nimmt einen Lauf ('[2:*]' zu '[3:*]') in '[1:*]' zurück. Es wurde nichts geändert."},
    {undo_text::kLookingAtRun, u"Looking at the documents of the run...",
     u"Die Dokumente des Laufs werden durchgesehen..."},
    {undo_text::kUndoQuestionUnfinished, u"Do you want to undo the last run? It did not finish; [*] documents of the collection '[*]' still hold in the [*] field what it wrote, replacing '[*]' with '[*]'.",
     u"Möchten Sie den letzten Lauf rückgängig machen? Er wurde nicht beendet; [*] Dokumente der Sammlung '[*]' enthalten im Feld '[*]' noch, was er geschrieben hat, als er '[*]' durch '[*]' ersetzte."},
    {undo_text::kNothingLeftOfRun, u"The last run ('[*]' to '[*]') did not finish, and no document still holds what it wrote. Nothing was changed.",
     u"Der letzte Lauf ('[*]' zu '[*]') wurde nicht beendet, und kein Dokument enthält noch, was er geschrieben hat. Es wurde nichts geändert."},
};

// Mnemonics ("&") are unique within each language's window.
inline constexpr TextRow kReviewTexts[] = {
    {review_text::kMenuEntry, u"Review changes...",
     u"Änderungen prüfen..."},
    {review_text::kWindowTitle, u"Review changes",
     u"Änderungen prüfen"},
    {review_text::kReplace, u"Replace '[*]' with '[*]' in the [*] field.",
     u"Im Feld '[3:*]': '[1:*]' durch '[2:*]' ersetzen."},
    {review_text::kRemove, u"Remove '[*]' from the [*] field.",
     u"Im Feld '[2:*]': '[1:*]' entfernen."},
    {review_text::kFill, u"Fill every empty [*] field with '[*]'.",
     u"Jedes leere Feld '[*]' mit '[*]' füllen."},
    {review_text::kLooking, u"Looking at the documents: [*] of [*]...",
     u"Die Dokumente werden durchgesehen: [*] von [*]..."},
    {review_text::kCount, u"[*] of [*] documents will be changed.",
     u"[*] von [*] Dokumenten werden geändert."},
    {review_text::kFilter, u"&Filter:",
     u"&Filter:"},
    {review_text::kCheckAll, u"&Check all",
     u"Alle &einbeziehen"},
    {review_text::kUncheckAll, u"&Uncheck all",
     u"Alle a&uslassen"},
    {review_text::kChangesHeading, u"&Documents that change:",
     u"&Dokumente, die sich ändern:"},
    {review_text::kUnchangedHeading, u"Left as they are ([*]): the query found them only through its wildcards % or _, or they changed since.",
     u"Bleiben, wie sie sind ([*]): Die Abfrage fand sie nur über ihre Platzhalter % oder _, oder sie wurden inzwischen geändert."},
    {review_text::kColumnDocument, u"Document",
     u"Dokument"},
    {review_text::kColumnBefore, u"Before",
     u"Vorher"},
    {review_text::kColumnAfter, u"After",
     u"Nachher"},
    {review_text::kApply, u"&Apply",
     u"&Anwenden"},
    {review_text::kCancel, u"Cancel",
     u"Abbrechen"},
    {review_text::kLeftSinceListed, u"[*] left as they were because they changed since the list was made.",
     u"[*] belassen, weil sie sich seit dem Erstellen der Liste geändert haben."},
    {review_text::kShown, u"[*] shown",
     u"[*] angezeigt"},
    {review_text::kUnreadable, u"This document cannot be read: [*]",
     u"Dieses Dokument kann nicht gelesen werden: [*]"},
};

inline constexpr TextRow kOwnMessages[] = {
    {own_text::kFailureReport, u"Error number: %1\nSource: %2\n\n%3",
     u"Fehlernummer: %1\nQuelle: %2\n\n%3"},
    {own_text::kNoHost, u"No host application is available: the host is not installed or could not be started.",
     u"Keine Host-Anwendung verfügbar: Der Host ist nicht installiert oder konnte nicht gestartet werden."},
    {own_text::kNoStartFolder, u"No start folder is chosen.",
     u"Es ist kein Startordner gewählt."},
};
// clang-format on

// Lookups search by halves.
constexpr bool SortedByNumber(std::span<const TextRow> rows) {
  return std::is_sorted(rows.begin(), rows.end(),
                        [](const TextRow& a, const TextRow& b) { return a.id < b.id; });
}
static_assert(SortedByNumber(kTableTexts) && SortedByNumber(kUndoTexts) &&
              SortedByNumber(kReviewTexts) && SortedByNumber(kOwnMessages));

// The row numbered `id` among `rows`, or null.
inline const TextRow* FindText(std::span<const TextRow> rows, int id) {
  const auto row = std::lower_bound(rows.begin(), rows.end(), id,
                                    [](const TextRow& r, int key) { return r.id < key; });
  return row != rows.end() && row->id == id ? &*row : nullptr;
}

// The numbers of `rows`, in their order.
inline std::vector<int> TextIds(std::span<const TextRow> rows) {
  std::vector<int> ids;
  for (const TextRow& row : rows) {
    ids.push_back(row.id);
  }
  return ids;
}

// The row's text in English or German.
inline QString TextIn(const TextRow& row, bool german) {
  return QString::fromUtf16(german ? row.german : row.english);
}

// The text numbered `id` among `rows`; a number the rows do not hold is a
// programming error and throws qm::Error.
inline QString TextIn(std::span<const TextRow> rows, int id, bool german) {
  const TextRow* row = FindText(rows, id);
  if (row == nullptr) {
    throw Error(-1, QStringLiteral("QMReplace"), QStringLiteral("There is no text %1.").arg(id));
  }
  return TextIn(*row, german);
}

}  // namespace qm
