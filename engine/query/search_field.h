// The document fields a search looks in and a run rewrites, one record each.
//
// The window lists the fields by their display texts in the user's language;
// the database knows them by column names and the host's document objects by
// their accessors. kFields is the one place that ties the three together:
// everything that handles "the chosen field" goes through its record, so a
// new field is a new record here (and its text and accessors), nothing more.
#pragma once

#include <QString>

#include <array>
#include <cstddef>
#include <cstdint>

#include "hostlib/host_library.h"
#include "text/texts.h"

namespace qm {

// Values are the positions of the fields in kFields and in the window's field
// list, and the numbers the journal keeps: never renumber.
enum class SearchField { Title = 0, Comment = 1, Url = 2 };

struct FieldRecord {
  SearchField field;
  // Its column in the host database's Document table.
  const char* column;
  // Its display text in the field list and the questions.
  int textId;
  QString (HostDocument::*read)() const;
  void (HostDocument::*write)(const QString& value);
  // Takes the value away (a null value, not an empty text).
  void (HostDocument::*clear)();
};

inline constexpr std::array<FieldRecord, 3> kFields{{
    {SearchField::Title, "Title", text_id::kFieldTitle, &HostDocument::Title,
     &HostDocument::SetTitle, &HostDocument::ClearTitle},
    {SearchField::Comment, "Comment", text_id::kFieldComment, &HostDocument::Comment,
     &HostDocument::SetComment, &HostDocument::ClearComment},
    {SearchField::Url, "Url", text_id::kFieldAddress, &HostDocument::Url, &HostDocument::SetUrl,
     &HostDocument::ClearUrl},
}};

// The number of the error raised for a field that is none of kFields.
inline constexpr std::int32_t kUnknownFieldError = static_cast<std::int32_t>(0x80040004u);

// Fails with kUnknownFieldError for a value that is none of kFields (a
// number read back from an older or damaged journal, say).
const FieldRecord& FieldRecordOf(SearchField field);

// The field's column in the host database's Document table.
QString ColumnName(SearchField field);

// The display texts of kFields, in their order, in the language the window
// shows.
using FieldDisplayTexts = std::array<QString, kFields.size()>;
FieldDisplayTexts DisplayTextsOf(TextLanguage language);

// The field whose display text equals `displayText` without regard to case;
// the first equal one wins. A text that names none of them fails with
// kUnknownFieldError: the field list only ever holds these texts, so a
// mismatch means the window and the text table disagree, and guessing a field
// would let a run rewrite a field the user never chose.
SearchField FieldFromDisplayText(const QString& displayText, const FieldDisplayTexts& displayTexts);

}  // namespace qm
