// The search-string history of the title search box.
//
// Stored in one text value of the host's settings key: every entry followed
// by "*#*", the last one included, with no escaping and no limit. Loading
// turns the value into the box's items; saving builds the value from the
// box's items and appends the current text unless the value already holds it
// (compared without regard to case). Nothing is ever removed.
#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

#include "platform/registry_store.h"

namespace qm {

inline constexpr char kHistoryValueName[] = "SearchAndReplace_Strings";
inline constexpr char kHistorySeparator[] = "*#*";

// The built-in list for users whose language identifier is exactly 0x0407,
// in stored form.
QString GermanDefaultHistory();

// The pieces between separators, without the last piece (the rest after the
// final separator); an empty text gives no entries.
QStringList SplitHistoryValue(const QString& value);

// The items, each followed by the separator, and the current text with its
// separator appended unless "<current text>*#*" occurs in them already.
QString BuildHistoryValue(const QStringList& items, const QString& currentText);

// The entries for the search box, read below HKEY_CURRENT_USER\<settingsKey>.
// A missing value gives the German default list for userLangId 0x0407 and an
// empty list otherwise. Never fails.
QStringList LoadSearchHistory(const QString& settingsKey, std::uint16_t userLangId,
                              platform::RegistryStore& store = platform::SystemRegistry());

// Writes the value built from the box's items and its current text. Throws
// qm::Error as cRegistry does when the value cannot be written.
void SaveSearchHistory(const QString& settingsKey, const QStringList& items,
                       const QString& currentText,
                       platform::RegistryStore& store = platform::SystemRegistry());

}  // namespace qm
