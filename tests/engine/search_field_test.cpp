#include "engine/query/search_field.h"

#include <gtest/gtest.h>

#include "common/test_environment.h"

namespace {

// The field list as the window fills it, from the text table.
const qm::FieldDisplayTexts kEnglish = qm::DisplayTextsOf(qm::TextLanguage::English);
const qm::FieldDisplayTexts kGerman = qm::DisplayTextsOf(qm::TextLanguage::German);

TEST(SearchField, DisplayTextGivesFieldWithoutRegardToCase) {
  struct Case {
    const char* text;
    const qm::FieldDisplayTexts* texts;
    qm::SearchField field;
    const char* column;
  };
  const Case cases[] = {
      {"Title", &kEnglish, qm::SearchField::Title, "Title"},
      {"COMMENT", &kEnglish, qm::SearchField::Comment, "Comment"},
      {"address", &kEnglish, qm::SearchField::Url, "Url"},
      {"Titel", &kGerman, qm::SearchField::Title, "Title"},
      {"Kommentar", &kGerman, qm::SearchField::Comment, "Comment"},
      {"ADRESSE", &kGerman, qm::SearchField::Url, "Url"},
  };
  for (const auto& c : cases) {
    const qm::SearchField field = qm::FieldFromDisplayText(QString::fromUtf8(c.text), *c.texts);
    EXPECT_EQ(field, c.field) << c.text;
    EXPECT_EQ(qm::ColumnName(field), QString::fromUtf8(c.column)) << c.text;
  }
}

TEST(SearchField, FirstEqualTextWins) {
  const qm::FieldDisplayTexts same{QStringLiteral("X"), QStringLiteral("x"), QStringLiteral("X")};
  EXPECT_EQ(qm::FieldFromDisplayText(QStringLiteral("x"), same), qm::SearchField::Title);
}

TEST(SearchField, UnknownDisplayTextIsRefusedNotGuessed) {
  // An English field name under German texts names no field.
  EXPECT_QM_ERROR(qm::FieldFromDisplayText(QStringLiteral("Comment"), kGerman),
                  qm::kUnknownFieldError, "SearchField",
                  "The field 'Comment' is not one of the fields that can be searched.");
  EXPECT_THROW(qm::FieldFromDisplayText(QString(), kEnglish), qm::Error);
}

// A field number read back from a damaged or newer journal indexes nothing.
TEST(SearchField, NumberOfNoFieldIsRefused) {
  const auto pastTheLast = static_cast<int>(qm::kFields.size());
  EXPECT_QM_ERROR(qm::FieldRecordOf(static_cast<qm::SearchField>(pastTheLast)),
                  qm::kUnknownFieldError, "SearchField",
                  QStringLiteral("Unknown field number %1.").arg(pastTheLast));
  EXPECT_QM_ERROR(qm::ColumnName(static_cast<qm::SearchField>(-1)), qm::kUnknownFieldError,
                  "SearchField", "Unknown field number -1.");
}

}  // namespace
