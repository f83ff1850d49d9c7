#include "engine/review_texts.h"

namespace qm {

bool IsReviewText(int id) { return FindText(kReviewTexts, id) != nullptr; }

QString ReviewText(int id, bool german) { return TextIn(kReviewTexts, id, german); }

std::vector<int> ReviewTextIds() { return TextIds(kReviewTexts); }

}  // namespace qm
