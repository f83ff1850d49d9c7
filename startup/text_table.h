// The localized text table: every caption and message the window is made
// of, by identifier, in English and German. The rows are kTableTexts in
// engine/texts.h; on Windows they are read from the program file's string
// tables, which are written from the same rows.
//
// Callers ask for a fresh copy at the moment of use; nothing caches texts.
// The language follows the user's locale: German for any German locale,
// English for everyone else. Asking for an identifier the table does not
// hold is a programming error and throws qm::Error.
#pragma once

#include <QString>

#include <cstdint>

namespace qm::startup {

enum class TextLanguage { English, German };

// The language the user's locale asks for.
TextLanguage UserTextLanguage();

QString LoadText(std::uint16_t id, TextLanguage language);

// In the user's language.
QString LoadText(std::uint16_t id);

// Every identifier the table holds, in ascending order.
const std::uint16_t* TextIdsBegin();
const std::uint16_t* TextIdsEnd();

}  // namespace qm::startup
