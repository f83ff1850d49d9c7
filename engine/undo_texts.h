// The program's own texts for the preview, the journal and undo, in English
// and German. They live beside the text table, under numbers of their own
// (from 1001) that the window's Text() also answers, so the engine asks for
// them as for any other text.
#pragma once

#include <QString>

#include <cstdint>
#include <vector>

namespace qm {

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
}  // namespace undo_text

bool IsUndoText(int id);
QString UndoText(int id, bool german);
// Every number above, ascending.
std::vector<int> UndoTextIds();

}  // namespace qm
