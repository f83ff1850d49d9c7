// The search options the user chose last, remembered beside the
// search-string history.
//
// Stored in one REG_DWORD value of the host's settings key, the history's
// key: one bit for each option (kMatchCaseBit and the rest below), every
// other bit zero. A value that is missing, of another type or size, or sets
// any other bit is not ours to guess at and gives all options off. Saved at
// the moment the history is saved, by the same rule.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

#include "engine/query/search_options.h"
#include "platform/registry_store.h"

namespace qm {

inline constexpr char kOptionsValueName[] = "SearchAndReplace_Options";

inline constexpr std::uint32_t kMatchCaseBit = 1u << 0;
inline constexpr std::uint32_t kWholeWordsBit = 1u << 1;
inline constexpr std::uint32_t kPatternBit = 1u << 2;
inline constexpr std::uint32_t kPreserveCaseBit = 1u << 3;

std::uint32_t EncodeSearchOptions(const SearchOptions& options);

// Nothing for bits no option owns.
std::optional<SearchOptions> DecodeSearchOptions(std::uint32_t bits);

// Read below HKEY_CURRENT_USER\<settingsKey>; never fails.
SearchOptions LoadSearchOptions(const QString& settingsKey,
                                platform::RegistryStore& store = platform::SystemRegistry());

// Throws qm::Error as cRegistry does when the value cannot be written.
void SaveSearchOptions(const QString& settingsKey, const SearchOptions& options,
                       platform::RegistryStore& store = platform::SystemRegistry());

}  // namespace qm
