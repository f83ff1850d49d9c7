#include "engine/query/search_field.h"

#include "platform/error.h"
#include "platform/text_fold.h"

namespace qm {

static_assert(
    [] {
      for (std::size_t i = 0; i < kFields.size(); ++i) {
        if (static_cast<std::size_t>(kFields[i].field) != i) {
          return false;
        }
      }
      return true;
    }(),
    "a field's number is its position in kFields");

const FieldRecord& FieldRecordOf(SearchField field) {
  const auto index = static_cast<std::size_t>(field);
  if (index >= kFields.size()) {
    throw Error(kUnknownFieldError, QStringLiteral("SearchField"),
                QStringLiteral("Unknown field number %1.").arg(static_cast<int>(field)));
  }
  return kFields[index];
}

QString ColumnName(SearchField field) { return QString::fromLatin1(FieldRecordOf(field).column); }

FieldDisplayTexts DisplayTextsOf(TextLanguage language) {
  FieldDisplayTexts texts;
  for (std::size_t i = 0; i < kFields.size(); ++i) {
    texts[i] = Text(kFields[i].textId, language);
  }
  return texts;
}

SearchField FieldFromDisplayText(const QString& displayText,
                                 const FieldDisplayTexts& displayTexts) {
  const QString folded = FoldCase(displayText);
  for (std::size_t i = 0; i < displayTexts.size(); ++i) {
    if (FoldCase(displayTexts[i]) == folded) {
      return kFields[i].field;
    }
  }
  throw Error(kUnknownFieldError, QStringLiteral("SearchField"),
              QStringLiteral("The field '%1' is not one of the fields that can be searched.")
                  .arg(displayText));
}

}  // namespace qm
