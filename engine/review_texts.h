// The program's own texts for the review of a run's changes, in English and
// German. Like the texts of undo they live beside the text table under
// numbers of their own (from 1101), which the window's Text() also answers.
#pragma once

#include <QString>

#include <vector>

namespace qm {

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

bool IsReviewText(int id);
QString ReviewText(int id, bool german);
// Every number above, ascending.
std::vector<int> ReviewTextIds();

}  // namespace qm
