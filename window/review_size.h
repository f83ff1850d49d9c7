// The review window's size, kept from one review to the next beside the
// search-string history: two REG_DWORD values in pixels below
// HKEY_CURRENT_USER\<settings key>.
#pragma once

#include <QSize>
#include <QString>

#include "platform/registry_store.h"

namespace qm {

inline constexpr char kReviewWidthValue[] = "SearchAndReplace_ReviewWidth";
inline constexpr char kReviewHeightValue[] = "SearchAndReplace_ReviewHeight";

// The stored size, or an invalid QSize when none is stored or the values are
// no size a window can have (missing, not numbers, below 1 or above 32767).
// Never fails.
QSize LoadReviewSize(const QString& settingsKey,
                     platform::RegistryStore& store = platform::SystemRegistry());

// Throws qm::Error as cRegistry does when the values cannot be written.
void SaveReviewSize(const QString& settingsKey, const QSize& size,
                    platform::RegistryStore& store = platform::SystemRegistry());

}  // namespace qm
