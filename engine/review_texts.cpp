#include "engine/review_texts.h"

#include "platform/error.h"

namespace qm {
namespace {

struct Entry {
  int id;
  const char* english;
  const char* german;
};

// Mnemonics ("&") are unique within each language's window.
constexpr Entry kTexts[] = {
    {review_text::kMenuEntry, "Review changes...", "Änderungen prüfen..."},
    {review_text::kWindowTitle, "Review changes", "Änderungen prüfen"},
    {review_text::kReplace, "Replace '[*]' with '[*]' in the [*] field.",
     "Im Feld '[3:*]': '[1:*]' durch '[2:*]' ersetzen."},
    {review_text::kRemove, "Remove '[*]' from the [*] field.",
     "Im Feld '[2:*]': '[1:*]' entfernen."},
    {review_text::kFill, "Fill every empty [*] field with '[*]'.",
     "Jedes leere Feld '[*]' mit '[*]' füllen."},
    {review_text::kLooking, "Looking at the documents: [*] of [*]...",
     "Die Dokumente werden durchgesehen: [*] von [*]..."},
    {review_text::kCount, "[*] of [*] documents will be changed.",
     "[*] von [*] Dokumenten werden geändert."},
    {review_text::kFilter, "&Filter:", "&Filter:"},
    {review_text::kCheckAll, "&Check all", "Alle &einbeziehen"},
    {review_text::kUncheckAll, "&Uncheck all", "Alle a&uslassen"},
    {review_text::kChangesHeading, "&Documents that change:", "&Dokumente, die sich ändern:"},
    {review_text::kUnchangedHeading,
     "Left as they are ([*]): the query found them only through its wildcards % or _, or they "
     "changed since.",
     "Bleiben, wie sie sind ([*]): Die Abfrage fand sie nur über ihre Platzhalter % oder _, "
     "oder sie wurden inzwischen geändert."},
    {review_text::kColumnDocument, "Document", "Dokument"},
    {review_text::kColumnBefore, "Before", "Vorher"},
    {review_text::kColumnAfter, "After", "Nachher"},
    {review_text::kApply, "&Apply", "&Anwenden"},
    {review_text::kCancel, "Cancel", "Abbrechen"},
    {review_text::kLeftSinceListed,
     "[*] left as they were because they changed since the list was made.",
     "[*] belassen, weil sie sich seit dem Erstellen der Liste geändert haben."},
    {review_text::kShown, "[*] shown", "[*] angezeigt"},
    {review_text::kUnreadable, "This document cannot be read: [*]",
     "Dieses Dokument kann nicht gelesen werden: [*]"},
};

}  // namespace

bool IsReviewText(int id) {
  for (const Entry& entry : kTexts) {
    if (entry.id == id) {
      return true;
    }
  }
  return false;
}

QString ReviewText(int id, bool german) {
  for (const Entry& entry : kTexts) {
    if (entry.id == id) {
      return QString::fromUtf8(german ? entry.german : entry.english);
    }
  }
  throw Error(-1, QStringLiteral("QMReplace"), QStringLiteral("There is no text %1.").arg(id));
}

std::vector<int> ReviewTextIds() {
  std::vector<int> ids;
  for (const Entry& entry : kTexts) {
    ids.push_back(entry.id);
  }
  return ids;
}

}  // namespace qm
