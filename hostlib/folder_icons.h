// The host's folder icon list: the positions the tool's folder icon list and
// the host's own folder chooser share, and the names of the icons in the
// host's resource library ("QMRes.dll"), which the host's installer writes
// and both read back by position.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace qm::folder_icons {

inline constexpr int kCount = 28;

// Positions, from 1.
inline constexpr int kLocalCollection = 1;
inline constexpr int kLocalDefaultCollection = 2;
inline constexpr int kNetworkCollection = 3;
inline constexpr int kNetworkDefaultCollection = 4;
inline constexpr int kNewDocuments = 5;
inline constexpr int kPlainFolder = 6;
inline constexpr int kFirstSymbol = 7;
// The host's folder symbols 1 to 22 stand at kFirstSymbol onwards.
inline constexpr std::int32_t kSymbolCount = 22;
static_assert(kFirstSymbol + kSymbolCount - 1 == kCount);

// The host's collection kind that is a local file; any other is a network
// collection.
inline constexpr std::int32_t kLocalKind = 1;

constexpr int CollectionPosition(std::int32_t kind, bool isDefault) {
  if (kind == kLocalKind) {
    return isDefault ? kLocalDefaultCollection : kLocalCollection;
  }
  return isDefault ? kNetworkDefaultCollection : kNetworkCollection;
}

// A symbol the list has no image for shows as the plain folder rather than
// as nothing or as a picture that means something else.
constexpr int SymbolPosition(std::int32_t symbol) {
  return symbol >= 1 && symbol <= kSymbolCount ? kFirstSymbol + static_cast<int>(symbol) - 1
                                               : kPlainFolder;
}

// By position: kModernNames[position - 1].
inline constexpr std::array<const char*, kCount> kModernNames = {
    "Collection_16_XP",           "Collection_Default_16_XP",
    "Collection_Network_16_XP",   "Collection_Network_Default_16_XP",
    "Folder_New_Documents_16_XP", "Folder_16_XP",
    "Folder_Blue_16_XP",          "Folder_Green_16_XP",
    "Folder_Red_16_XP",           "Folder_Magenta_16_XP",
    "Folder_Gray_16_XP",          "Folder_Check_Mark_16_XP",
    "Folder_Exclamation_16_XP",   "Folder_Flag_Red_16_XP",
    "Folder_Flag_Blue_16_XP",     "Folder_Flag_Green_16_XP",
    "Folder_Flag_Orange_16_XP",   "Folder_Flag_Magenta_16_XP",
    "Folder_Blue_Arrow_16_XP",    "Folder_No_Entry_Sign_16_XP",
    "Folder_Question_Mark_16_XP", "Folder_Clock_16_XP",
    "Folder_Boxes_16_XP",         "Folder_E-mail_16_XP",
    "Folder_Picture_16_XP",       "Folder_Word_16_XP",
    "Folder_PDF_16_XP",           "Folder_Person_16_XP",
};

// The icon's resource name for positions 1 to 28; an empty text for any
// other position.
inline QString ModernIconName(int position) {
  if (position < 1 || position > kCount) {
    return {};
  }
  return QString::fromLatin1(kModernNames[static_cast<std::size_t>(position - 1)]);
}

}  // namespace qm::folder_icons
