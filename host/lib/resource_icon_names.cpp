#include "host/lib/resource_icon_names.h"

#include <array>

namespace qm::host {
namespace {

constexpr std::array<const char*, kModernIconCount> kNames = {
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

}  // namespace

QString ModernIconName(int position) {
  if (position < 1 || position > kModernIconCount) {
    return {};
  }
  return QString::fromLatin1(kNames[static_cast<std::size_t>(position - 1)]);
}

}  // namespace qm::host
