#include "engine/undo_texts.h"

#include "platform/error.h"

namespace qm {
namespace {

struct Entry {
  int id;
  const char* english;
  const char* german;
};

constexpr Entry kTexts[] = {
    {undo_text::kPreviewNotListed, "[*] more documents are not listed.",
     "[*] weitere Dokumente sind nicht aufgeführt."},
    {undo_text::kPreviewLine, "[*]: '[*]' becomes '[*]'", "[*]: '[*]' wird zu '[*]'"},
    {undo_text::kPreviewUnchanged, "[*]: '[*]' stays as it is", "[*]: '[*]' bleibt, wie es ist"},
    {undo_text::kUndoQuestion,
     "Do you want to undo the last run? It changed [*] documents of the collection '[*]' in the "
     "[*] field, replacing '[*]' with '[*]'.",
     "Möchten Sie den letzten Lauf rückgängig machen? Er hat [*] Dokumente der Sammlung '[*]' im "
     "Feld '[*]' geändert und '[*]' durch '[*]' ersetzt."},
    {undo_text::kUndoDone, "[*] documents restored, [*] left as they were because they changed since.",
     "[*] Dokumente wiederhergestellt, [*] belassen, weil sie seitdem geändert wurden."},
    {undo_text::kNothingToUndo, "There is no run to undo.",
     "Es gibt keinen Lauf, der rückgängig gemacht werden kann."},
    {undo_text::kCollectionGone,
     "The collection '[*]' of the last run no longer exists. Nothing was changed.",
     "Die Sammlung '[*]' des letzten Laufs gibt es nicht mehr. Es wurde nichts geändert."},
    {undo_text::kJournalMovedAside,
     "The journal of runs was damaged. It was kept as '[*]' and a new one was started.",
     "Das Protokoll der Läufe war beschädigt. Es wurde als '[*]' aufbewahrt und ein neues "
     "begonnen."},
    {undo_text::kUndoMenuEntry, "Undo last run...", "Letzten Lauf rückgängig machen..."},
    {undo_text::kRunStillGoing,
     "The last run ('[*]' to '[*]') is still going in another window. Nothing was changed.",
     "Der letzte Lauf ('[*]' zu '[*]') läuft noch in einem anderen Fenster. Es wurde nichts "
     "geändert."},
    {undo_text::kCollectionNotSame,
     "The collection '[*]' is no longer the one the last run changed. Nothing was changed.",
     "Die Sammlung '[*]' ist nicht mehr die des letzten Laufs. Es wurde nichts geändert."},
    {undo_text::kJournalTooNew,
     "The journal of runs is from a newer version of this program. Nothing was changed.",
     "Das Protokoll der Läufe stammt von einer neueren Programmversion. Es wurde nichts "
     "geändert."},
};

}  // namespace

bool IsUndoText(int id) {
  for (const Entry& entry : kTexts) {
    if (entry.id == id) {
      return true;
    }
  }
  return false;
}

QString UndoText(int id, bool german) {
  for (const Entry& entry : kTexts) {
    if (entry.id == id) {
      return QString::fromUtf8(german ? entry.german : entry.english);
    }
  }
  throw Error(-1, QStringLiteral("QMReplace"), QStringLiteral("There is no text %1.").arg(id));
}

std::vector<int> UndoTextIds() {
  std::vector<int> ids;
  for (const Entry& entry : kTexts) {
    ids.push_back(entry.id);
  }
  return ids;
}

}  // namespace qm
