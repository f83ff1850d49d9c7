// The texts of the preview, the journal and undo (kUndoTexts in engine/texts.h), which the
// window's Text() answers beside the text table.
#pragma once

#include <QString>

#include <vector>

#include "engine/texts.h"

namespace qm {

bool IsUndoText(int id);
QString UndoText(int id, bool german);
// Every number of kUndoTexts, ascending.
std::vector<int> UndoTextIds();

}  // namespace qm
