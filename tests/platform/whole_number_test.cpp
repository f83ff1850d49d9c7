#include "platform/whole_number.h"

#include <QString>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

// The one rule for EntryIDs: a whole number of any integer kind, or a
// floating one without a fraction; never a text, never a fraction.
TEST(WholeNumber, IsAnIntegerOrAFloatWithoutAFractionNeverAText) {
  struct Case {
    const char* name;
    QVariant value;
    std::optional<std::int64_t> whole;
  };
  const Case cases[] = {
      {"int", QVariant(42), 42},
      {"unsigned", QVariant(42u), 42},
      {"64 bits", QVariant(qlonglong{-5'000'000'000}), -5'000'000'000},
      {"unsigned 64 bits past the signed range",
       QVariant(qulonglong{std::numeric_limits<qulonglong>::max()}), std::nullopt},
      {"a double without a fraction", QVariant(12.0), 12},
      {"a double with one", QVariant(12.5), std::nullopt},
      {"not a number", QVariant(std::nan("")), std::nullopt},
      {"too large a double", QVariant(1e19), std::nullopt},
      {"a text of digits", QVariant(QStringLiteral("12")), std::nullopt},
      {"a boolean", QVariant(true), std::nullopt},
      {"nothing", QVariant(), std::nullopt},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(qm::WholeNumber(c.value), c.whole) << c.name;
  }
}

}  // namespace
