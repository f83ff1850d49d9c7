// The program's texts: every caption and message, in English and German, by
// their named IDs (text/text_ids.h), and the one lookup of them.
//
// The texts' one source is text/texts.json; scripts/make_texts.py writes the
// IDs, the rows (text_rows.cpp) and the Windows program file's string tables
// from it. The window's own table (TextTable::Window) is read, where the
// program file carries it (the Windows build), from the program file's
// string tables, and from the rows elsewhere.
//
// Callers ask at the moment of use; nothing caches texts. The language
// follows the user's locale: German for any German locale, English for
// everyone else. An ID no table holds is a programming error: qm::Error
// kNoSuchTextError.
#pragma once

#include <QString>

#include <cstdint>
#include <span>

#include "platform/error.h"
#include "text/text_ids.h"

namespace qm {

enum class TextLanguage { English, German };

// The language the user's locale asks for.
TextLanguage UserTextLanguage();

// The text with this ID in that language.
QString Text(int id, TextLanguage language);

inline constexpr std::int32_t kNoSuchTextError = ErrorNumber(0x80040716u);

// The rows of each table, sorted by ID.
enum class TextTable { Window, Undo, Review, Own, Controls, Progress, History };

struct TextRow {
  int id;
  const char16_t* english;
  const char16_t* german;
};

std::span<const TextRow> TextRows(TextTable table);

}  // namespace qm
