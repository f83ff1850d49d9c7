// Random formats and values against a literal reading of the fill rules:
// the formatter builds its result in one pass, the model (printf_model.h) rewrites a
// working text step by step as the rules describe it. Both must agree on the
// result or on the error, and nothing may crash.
#include <QDate>
#include <QDateTime>
#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/printf_model.h"

namespace {

using qm::testing::ModelPrintf;
using qm::testing::Outcome;
using qm::testing::PrintfOutcome;

class Generator {
 public:
  explicit Generator(quint32 seed) : random_(seed) {}

  QString Format() {
    static const char* const kPieces[] = {
        "[",   "]",    "*",    "\\",     "=",  ":",   "(",    "0",     "#",     ",",
        ".",   "%",    "1",    "2",      "9",  "t",   "n",    "r",     "a",     "w",
        "ww",  "y",    "yyyy", "d",      "M",  "'",   " ",    "[*]",   "[1:*]", "[2:",
        "\\[", "\\\\", "[]",   "[0.00]", "[=", "[(]", "[\\]", "#,##0", "\\n",   "\\t"};
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
        const double special[] = {0.0,
                                  -0.0,
                                  0.5,
                                  -2.5,
                                  1e300,
                                  -1e-300,
                                  123456.789,
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
    const Outcome actual = PrintfOutcome(format, values);
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
