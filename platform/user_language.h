// The user's language, as a Windows language identifier.
#pragma once

#include <QString>

#include <cstdint>

namespace qm::platform {

// The language identifier of the user's locale (0x0407 German/Germany,
// 0x0409 English/United States, ...). On Linux it is derived from the locale
// environment (LC_ALL, then LC_MESSAGES, then LANG); an unknown or unset
// locale gives 0x0409.
std::uint16_t GetUserDefaultLangID();

// The mapping used above, for a locale name such as "de_AT.UTF-8" or
// "en_US". Unknown names give 0x0409.
std::uint16_t LangIdFromLocaleName(const QString& localeName);

// True when the primary language of the identifier is German (any region).
constexpr bool IsGermanLanguage(std::uint16_t langId) noexcept {
  return (langId & 0x03FFu) == 0x07u;
}

}  // namespace qm::platform
