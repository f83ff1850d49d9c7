// The program's texts, by name.
#pragma once

namespace qm {

// The text table entries the engine uses.
namespace text_id {
inline constexpr int kCaption = 100;
inline constexpr int kNoSearchText = 109;
inline constexpr int kDocumentsUpdated = 110;
inline constexpr int kNoDocumentsFound = 111;
inline constexpr int kFieldTitle = 113;
inline constexpr int kFieldComment = 114;
inline constexpr int kFieldAddress = 115;
inline constexpr int kDocumentsMatch = 124;
inline constexpr int kConfirmReplace = 127;
inline constexpr int kConfirmRemove = 128;
inline constexpr int kNothingMatches = 129;
inline constexpr int kNoReplacementText = 139;
}  // namespace text_id

}  // namespace qm
