// Random formats and values against a literal reading of the fill rules:
// the formatter builds its result in one pass, the model below rewrites a
// working text step by step as the rules describe it. Both must agree on the
// result or on the error, and nothing may crash.
#include <QDate>
#include <QDateTime>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/mod_resource.h"
#include "engine/value_format.h"
#include "platform/error.h"

namespace {

struct Outcome {
  QString text;
  std::int32_t error = 0;
  QString source;
  QString description;
  bool operator==(const Outcome&) const = default;
};

Outcome ModelPrintf(QString working, const QVariantList& values) {
  working.replace(QStringLiteral("\\\\"), QStringLiteral("[\\]"));
  working.replace(QStringLiteral("\\t"), QStringLiteral("\t"));
  working.replace(QStringLiteral("\\r"), QStringLiteral("\r"));
  working.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
  working.replace(QStringLiteral("\\["), QStringLiteral("[(]"));
  const qsizetype last = values.size() - 1;
  qsizetype scan = 0;
  qsizetype index = 0;
  for (;;) {
    const qsizetype open = working.indexOf(u'[', scan);
    if (open < 0) {
      return {working, 0, {}, {}};
    }
    const qsizetype close = working.indexOf(u']', open + 1);
    if (close < 0) {
      return {QString(), static_cast<std::int32_t>(0x80040001u), QStringLiteral("printf"),
              QStringLiteral("Missing ']' after '[' at position %1!").arg(open + 1)};
    }
    QString text = working.mid(open + 1, close - open - 1);
    const qsizetype saved = index;
    const bool positional = text.size() >= 2 && text.at(0) >= u'1' && text.at(0) <= u'9' &&
                            text.at(1) == u':';
    if (positional) {
      index = qMin<qsizetype>(text.at(0).unicode() - u'1', last);
      text = text.mid(2);
    }
    if (text.startsWith(u'=')) {
      return {QString(), static_cast<std::int32_t>(0x80040003u), QStringLiteral("sprintf"),
              QStringLiteral("No script code allowed in placeholder string. Use the sprintf "
                             "COM-component instead.")};
    }
    QString replacement;
    if (text == u'(') {
      replacement = QStringLiteral("[");
      --index;
    } else if (text == u'\\') {
      replacement = QStringLiteral("\\");
      --index;
    } else if (!text.isEmpty()) {
      if (index > last || index < 0) {
        return {QString(), static_cast<std::int32_t>(0x80040002u), QStringLiteral("printf"),
                QStringLiteral("Missing value in printf-call for format string '[%1]'!").arg(text)};
      }
      replacement = text == u'*' ? modResource::PlainText(values.at(index))
                                 : modResource::FormatWithPattern(values.at(index), text);
    }
    working = working.left(open) + replacement + working.mid(close + 1);
    scan = open + replacement.size();
    index = positional ? saved : index + 1;
  }
}

Outcome Actual(const QString& format, const QVariantList& values) {
  try {
    return {modResource::printf(format, values), 0, {}, {}};
  } catch (const qm::Error& e) {
    return {QString(), e.number(), e.source(), e.description()};
  }
}

class Generator {
 public:
  explicit Generator(quint32 seed) : random_(seed) {}

  QString Format() {
    static const char* const kPieces[] = {
        "[", "]", "*", "\\", "=", ":", "(", "0", "#", ",", ".", "%", "1", "2", "9", "t", "n", "r",
        "a", "w", "ww", "y", "yyyy", "d", "M", "'", " ", "[*]", "[1:*]", "[2:", "\\[", "\\\\",
        "[]", "[0.00]", "[=", "[(]", "[\\]", "#,##0", "\\n", "\\t"};
    QString format;
    const int pieces = Below(24);
    for (int i = 0; i < pieces; ++i) {
      if (Below(8) == 0) {
        format.append(RandomChar());
      } else {
        format.append(QString::fromUtf8(kPieces[Below(std::size(kPieces))]));
      }
    }
    return format;
  }

  QVariantList Values() {
    QVariantList values;
    const int count = Below(5);
    for (int i = 0; i < count; ++i) {
      values.append(Value());
    }
    return values;
  }

 private:
  int Below(std::size_t n) { return static_cast<int>(random_.bounded(static_cast<quint32>(n))); }

  QChar RandomChar() {
    switch (Below(4)) {
      case 0:
        return QChar(static_cast<char16_t>(Below(0x80)));
      case 1:
        return QChar(static_cast<char16_t>(0xD800 + Below(0x800)));  // lone surrogate halves
      default:
        return QChar(static_cast<char16_t>(Below(0x10000)));
    }
  }

  QVariant Value() {
    switch (Below(12)) {
      case 0:
        return QVariant();
      case 1:
        return static_cast<int>(random_.generate());
      case 2:
        return static_cast<qlonglong>(random_.generate64());
      case 3:
        return static_cast<qulonglong>(random_.generate64());
      case 4: {
        const double special[] = {0.0, -0.0, 0.5, -2.5, 1e300, -1e-300, 123456.789,
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity(),
                                  std::numeric_limits<double>::denorm_min()};
        return special[Below(std::size(special))];
      }
      case 5:
        return random_.generateDouble() * std::pow(10.0, Below(40) - 20);
      case 6:
        return QDate(Below(3000) - 500, Below(14), Below(33));  // sometimes invalid
      case 7:
        return QDateTime(QDate(2000 + Below(50), 1 + Below(12), 1 + Below(28)),
                         QTime(Below(24), Below(60)));
      case 8:
        return Below(2) == 0;
      case 9:
        return QByteArray::number(Below(100000)) + QByteArray("\xFF[*]");
      case 10:
        return QString::number(random_.generateDouble() * 1e6 - 5e5);
      default:
        return Format();  // a text that looks like a format is inserted, never scanned
    }
  }

  QRandomGenerator random_;
};

TEST(PrintfRandom, AgreesWithTheStepByStepRulesAndNeverCrashes) {
  const quint32 seed = qEnvironmentVariableIsSet("QM_RANDOM_SEED")
                           ? static_cast<quint32>(qEnvironmentVariableIntValue("QM_RANDOM_SEED"))
                           : 20240501u;
  Generator generator(seed);
  int errors = 0;
  for (int i = 0; i < 100000; ++i) {
    const QString format = generator.Format();
    const QVariantList values = generator.Values();
    const Outcome actual = Actual(format, values);
    const Outcome expected = ModelPrintf(format, values);
    ASSERT_EQ(actual, expected) << "seed " << seed << " case " << i << " format "
                                << format.toStdString() << " error " << actual.error << " "
                                << actual.description.toStdString() << " / expected "
                                << expected.description.toStdString() << " text "
                                << actual.text.toStdString() << " / "
                                << expected.text.toStdString();
    if (actual.error != 0) {
      ++errors;
      EXPECT_TRUE(actual.error == static_cast<std::int32_t>(0x80040001u) ||
                  actual.error == static_cast<std::int32_t>(0x80040002u) ||
                  actual.error == static_cast<std::int32_t>(0x80040003u));
    }
  }
  // Both outcomes must be common, or the generator tests too little.
  EXPECT_GT(errors, 10000);
  EXPECT_LT(errors, 90000);
}

}  // namespace
