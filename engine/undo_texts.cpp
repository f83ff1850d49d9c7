#include "engine/undo_texts.h"

namespace qm {

bool IsUndoText(int id) { return FindText(kUndoTexts, id) != nullptr; }

QString UndoText(int id, bool german) { return TextIn(kUndoTexts, id, german); }

std::vector<int> UndoTextIds() { return TextIds(kUndoTexts); }

}  // namespace qm
