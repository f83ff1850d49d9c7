#include "text/mod_resource.h"

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

#include "common/test_environment.h"

namespace {

using modResource::printf;

const QString k127 = QStringLiteral(
    "[*] documents contain the string '[*]' in the [*] field. Are you sure you want to replace "
    "these occurrences with '[*]'?");

TEST(Printf, FillsFormats) {
  struct Case {
    const char* name;
    QString format;
    QVariantList values;
    QString expected;
  };
  const QVariantList two{QStringLiteral("A"), QStringLiteral("B")};
  const Case cases[] = {
      {"no placeholders, no values",
       QStringLiteral("plain ] text"),
       {},
       QStringLiteral("plain ] text")},
      {"line end", QStringLiteral("a\\nb"), {}, QStringLiteral("a\r\nb")},
      {"carriage return", QStringLiteral("a\\rb"), {}, QStringLiteral("a\rb")},
      {"tab", QStringLiteral("a\\tb"), {}, QStringLiteral("a\tb")},
      {"doubled backslash", QStringLiteral("a\\\\b"), {}, QStringLiteral("a\\b")},
      {"doubled backslash before n", QStringLiteral("a\\\\nb"), {}, QStringLiteral("a\\nb")},
      {"escaped bracket uses no value", QStringLiteral("\\[*]"), {}, QStringLiteral("[*]")},
      {"escaped bracket then a value", QStringLiteral("\\[*][*]"), {7}, QStringLiteral("[*]7")},
      {"three backslashes and a bracket", QStringLiteral("\\\\\\[x"), {}, QStringLiteral("\\[x")},
      {"message 127",
       k127,
       {5, QStringLiteral("abc"), QStringLiteral("Title"), QStringLiteral("X")},
       QStringLiteral("5 documents contain the string 'abc' in the Title field. Are you sure you "
                      "want to replace these occurrences with 'X'?")},
      {"empty replacement",
       QStringLiteral("'[*]' '[*]'"),
       {QString(), QStringLiteral("b")},
       QStringLiteral("'' 'b'")},
      {"values are not scanned",
       QStringLiteral("[*]|[*]"),
       {QStringLiteral("[*]]["), 2},
       QStringLiteral("[*]][|2")},
      {"empty placeholder uses a value", QStringLiteral("[][*]"), two, QStringLiteral("B")},
      {"empty placeholder needs no value", QStringLiteral("x[]y"), {}, QStringLiteral("xy")},
      {"positional 9 falls back to the last", QStringLiteral("[9:*]"), two, QStringLiteral("B")},
      {"positional keeps the turn", QStringLiteral("[*][1:*][*]"), two, QStringLiteral("AAB")},
      {"positional placeholders side by side", QStringLiteral("[2:*][1:*]"), two,
       QStringLiteral("BA")},
      {"positional empty needs no value", QStringLiteral("[3:]x"), {}, QStringLiteral("x")},
      {"0: is a pattern", QStringLiteral("[0:00]"), {7}, QStringLiteral("7:00")},
      {"bracket inside placeholder", QStringLiteral("[[*]"), {1}, QStringLiteral("1")},
      {"closing bracket alone", QStringLiteral("]]"), {}, QStringLiteral("]]")},
      {"open-paren placeholder", QStringLiteral("[(][*]"), {1}, QStringLiteral("[1")},
      {"backslash placeholder", QStringLiteral("[\\][*]"), {1}, QStringLiteral("\\1")},
      {"whole number", QStringLiteral("[*]"), {-2147483647 - 1}, QStringLiteral("-2147483648")},
      {"short", QStringLiteral("[*]"), {QVariant::fromValue<short>(-5)}, QStringLiteral("-5")},
      {"empty value", QStringLiteral("<[*]>"), {QVariant()}, QStringLiteral("<>")},
      {"byte array", QStringLiteral("[*]"), {QByteArray("\xC3\xA4")}, QString::fromUtf8("ä")},
      {"non-ASCII format",
       QString::fromUtf8("Möchten [*]?"),
       {QString::fromUtf8("Grüße")},
       QString::fromUtf8("Möchten Grüße?")},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(printf(c.format, c.values), c.expected) << c.name;
  }
}

TEST(Printf, FormatsWithPatterns) {
  struct Case {
    const char* pattern;
    QVariant value;
    const char* expected;
  };
  const Case cases[] = {
      {"0.00", 3.14159, "3.14"},
      {"0.00", 7, "7.00"},
      {"#,##0", 1234567, "1,234,567"},
      {"#,##0.00", 1234.5, "1,234.50"},
      {"000", 7, "007"},
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0.00", -0.001, "0.00"},
      {"0.0%", 0.256, "25.6%"},
      {"0%", 3, "300%"},
      {"#.##", 0.5, ".5"},
      {"0.0#", 1.5, "1.5"},
      {"0.0#", 1.257, "1.26"},
      {"EUR 0.00 net", 12, "EUR 12.00 net"},
      {"#,##0", QStringLiteral(" 98765 "), "98,765"},
      {"0.0", QStringLiteral("2.25"), "2.3"},
      {"0.00", QStringLiteral("abc"), "abc"},
      {"#,##0", Q_INT64_C(-9223372036854775807) - 1, "-9,223,372,036,854,775,808"},
      {"0", Q_UINT64_C(18446744073709551615), "18446744073709551615"},
      {"abc", 42, "42"},
      {"yyyy-MM-dd", QDate(2024, 2, 29), "2024-02-29"},
      {"dddd d MMMM yy", QDate(2024, 1, 5), "Friday 5 January 24"},
      {"HH:mm", QDateTime(QDate(2024, 1, 5), QTime(9, 7)), "09:07"},
      {"w ww", QDate(2023, 1, 1), "1 1"},  // a Sunday, first day of week 1
      {"w ww", QDate(2023, 1, 7), "7 1"},  // the Saturday after
      {"w ww", QDate(2023, 1, 8), "1 2"},  // the next Sunday starts week 2
      {"ww", QDate(2022, 1, 1), "1"},      // a Saturday: week 1 holds 1 January
      {"ww", QDate(2022, 1, 2), "2"},
      {"ww", QDate(2024, 12, 31), "53"},
      {"'w'w", QDate(2023, 1, 2), "w2"},  // quoted text stays literal
  };
  for (const auto& c : cases) {
    EXPECT_EQ(printf(QStringLiteral("[") + QString::fromUtf8(c.pattern) + u']', {c.value}),
              QString::fromUtf8(c.expected))
        << c.pattern;
  }
}

TEST(Printf, PlainTextOfOtherValues) {
  EXPECT_EQ(printf(QStringLiteral("[*] [*]"), {true, false}), QStringLiteral("True False"));
  EXPECT_EQ(printf(QStringLiteral("[*]"), {0.1 + 0.2}), QStringLiteral("0.3"));
  EXPECT_EQ(printf(QStringLiteral("[*]"), {QDate(2024, 3, 1)}), QStringLiteral("2024-03-01"));
  EXPECT_EQ(printf(QStringLiteral("[*]"), {QDateTime(QDate(2024, 3, 1), QTime(13, 4, 5))}),
            QStringLiteral("2024-03-01 13:04:05"));
}

TEST(Printf, FailsWithTheProgramsErrors) {
  const char* missingValue = "Missing value in printf-call for format string '[*]'!";
  const char* scriptCode =
      "No script code allowed in placeholder string. Use the sprintf COM-component instead.";
  EXPECT_QM_ERROR(printf(QStringLiteral("abcd["), {}), 0x80040001u, "printf",
                  "Missing ']' after '[' at position 5!");
  // The position counts in the working text: after the escapes and after the
  // values inserted so far.
  EXPECT_QM_ERROR(printf(QStringLiteral("\\n[*]x["), {QStringLiteral("long value")}), 0x80040001u,
                  "printf", "Missing ']' after '[' at position 14!");
  EXPECT_QM_ERROR(printf(k127, {5, QStringLiteral("abc"), QStringLiteral("Title")}), 0x80040002u,
                  "printf", missingValue);
  EXPECT_QM_ERROR(printf(QStringLiteral("[*]"), {}), 0x80040002u, "printf", missingValue);
  EXPECT_QM_ERROR(printf(QStringLiteral("[2:0.00]"), {}), 0x80040002u, "printf",
                  "Missing value in printf-call for format string '[0.00]'!");
  EXPECT_QM_ERROR(printf(QStringLiteral("[][#]"), {1}), 0x80040002u, "printf",
                  "Missing value in printf-call for format string '[#]'!");
  EXPECT_QM_ERROR(printf(QStringLiteral("[=1+1]"), {}), 0x80040003u, "sprintf", scriptCode);
  EXPECT_QM_ERROR(printf(QStringLiteral("[3:=x]"), {1}), 0x80040003u, "sprintf", scriptCode);
  // The first failing placeholder decides.
  EXPECT_QM_ERROR(printf(QStringLiteral("[=][*]"), {}), 0x80040003u, "sprintf", scriptCode);
}

TEST(Printf, LongFormatsCostTheirLength) {
  QString format;
  QVariantList values;
  for (int i = 0; i < 100000; ++i) {
    format.append(QStringLiteral("[1:*]"));
  }
  values.append(QStringLiteral("xy"));
  EXPECT_EQ(printf(format, values).size(), 200000);
}

}  // namespace
