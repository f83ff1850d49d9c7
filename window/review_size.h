// The size of the review window (and of the history's windows), kept from
// one time to the next beside the search-string history: two REG_DWORD
// values in pixels below HKEY_CURRENT_USER\<settings key>.
#pragma once

#include <QSize>
#include <QString>

#include "platform/registry_store.h"

namespace qm {

inline constexpr char kReviewWidthValue[] = "SearchAndReplace_ReviewWidth";
inline constexpr char kReviewHeightValue[] = "SearchAndReplace_ReviewHeight";

// The names of a window's two values.
struct WindowSizeValues {
  const char* width;
  const char* height;
};
inline constexpr WindowSizeValues kReviewSizeValues{kReviewWidthValue, kReviewHeightValue};
inline constexpr WindowSizeValues kHistorySizeValues{"SearchAndReplace_HistoryWidth",
                                                     "SearchAndReplace_HistoryHeight"};
inline constexpr WindowSizeValues kRunSizeValues{"SearchAndReplace_RunWidth",
                                                 "SearchAndReplace_RunHeight"};

// The stored size, or an invalid QSize when none is stored or the values are
// no size a window can have (missing, not numbers, below 1 or above 32767).
// Never fails.
QSize LoadWindowSize(const QString& settingsKey, const WindowSizeValues& values,
                     platform::RegistryStore& store = platform::SystemRegistry());
inline QSize LoadReviewSize(const QString& settingsKey,
                            platform::RegistryStore& store = platform::SystemRegistry()) {
  return LoadWindowSize(settingsKey, kReviewSizeValues, store);
}

// Throws qm::Error as cRegistry does when the values cannot be written.
void SaveWindowSize(const QString& settingsKey, const WindowSizeValues& values, const QSize& size,
                    platform::RegistryStore& store = platform::SystemRegistry());
inline void SaveReviewSize(const QString& settingsKey, const QSize& size,
                           platform::RegistryStore& store = platform::SystemRegistry()) {
  SaveWindowSize(settingsKey, kReviewSizeValues, size, store);
}

}  // namespace qm
