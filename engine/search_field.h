// The document field a search looks in and a run rewrites.
//
// The window lists the fields by their display texts in the user's language;
// the database and the host's document objects know them by fixed names.
// This header is the one place that ties the three together.
#pragma once

#include <QString>

#include <array>
#include <cstdint>

namespace qm {

// Values are the positions of the fields in the window's field list.
enum class SearchField { Title = 0, Comment = 1, Url = 2 };

// The field's column in the host database's Document table: "Title",
// "Comment" or "Url".
QString ColumnName(SearchField field);

// The display texts of Title, Comment and Address, in that order, in the
// language the window shows.
using FieldDisplayTexts = std::array<QString, 3>;

// The number of the error raised when a display text names no field.
inline constexpr std::int32_t kUnknownFieldError = static_cast<std::int32_t>(0x80040004u);

// Fails with kUnknownFieldError for a value that is none of the three.
[[noreturn]] void ThrowUnknownField(SearchField field);

// The field whose display text equals `displayText` without regard to case;
// the first equal one wins. A text that names none of the three fails with
// kUnknownFieldError: the field list only ever holds these three texts, so a
// mismatch means the window and the text table disagree, and guessing a field
// would let a run rewrite a field the user never chose.
SearchField FieldFromDisplayText(const QString& displayText, const FieldDisplayTexts& displayTexts);

}  // namespace qm
