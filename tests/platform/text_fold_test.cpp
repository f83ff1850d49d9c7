#include "platform/text_fold.h"

#include <gtest/gtest.h>

namespace {

TEST(TextFold, LettersOfEveryScriptFoldToOneCase) {
  struct Case {
    const char* a;
    const char* b;
    bool equal;
  };
  const Case cases[] = {
      {"ABC abc aBc", "abc abc abc", true},
      {"ÄÖÜ", "äöü", true},
      {"Straße", "STRASSE", false},  // one code point never becomes two
      {"ΣΊΣΥΦΟΣ", "σίσυφοσ", true},
      {"Привет", "пРИВЕТ", true},
      {"a", "b", false},
      {"", "", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(qm::EqualsIgnoringCase(QString::fromUtf8(c.a), QString::fromUtf8(c.b)), c.equal)
        << c.a << " vs " << c.b;
  }
}

TEST(TextFold, KeepsLengthAndSurrogatePairs) {
  const QString text = QString::fromUtf8("Ä\xF0\x90\x90\x80x");  // Deseret capital long I (U+10400)
  const QString folded = qm::FoldCase(text);
  EXPECT_EQ(folded.size(), text.size());
  EXPECT_EQ(folded, QString::fromUtf8("ä\xF0\x90\x90\xA8x"));
}

}  // namespace
