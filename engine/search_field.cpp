#include "engine/search_field.h"

#include "platform/error.h"
#include "platform/text_fold.h"

namespace qm {

QString ColumnName(SearchField field) {
  switch (field) {
    case SearchField::Title:
      return QStringLiteral("Title");
    case SearchField::Comment:
      return QStringLiteral("Comment");
    case SearchField::Url:
      return QStringLiteral("Url");
  }
  ThrowUnknownField(field);
}

void ThrowUnknownField(SearchField field) {
  throw Error(kUnknownFieldError, QStringLiteral("SearchField"),
              QStringLiteral("Unknown field number %1.").arg(static_cast<int>(field)));
}

SearchField FieldFromDisplayText(const QString& displayText, const FieldDisplayTexts& displayTexts) {
  const QString folded = FoldCase(displayText);
  for (std::size_t i = 0; i < displayTexts.size(); ++i) {
    if (FoldCase(displayTexts[i]) == folded) {
      return static_cast<SearchField>(i);
    }
  }
  throw Error(kUnknownFieldError, QStringLiteral("SearchField"),
              QStringLiteral("The field '%1' is not one of the fields that can be searched.")
                  .arg(displayText));
}

}  // namespace qm
