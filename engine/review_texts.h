// The texts of the review of a run's changes (kReviewTexts in engine/texts.h), which the
// window's Text() answers beside the text table.
#pragma once

#include <QString>

#include <vector>

#include "engine/texts.h"

namespace qm {

bool IsReviewText(int id);
QString ReviewText(int id, bool german);
// Every number of kReviewTexts, ascending.
std::vector<int> ReviewTextIds();

}  // namespace qm
