#include "platform/error.h"

#include <gtest/gtest.h>

namespace {

TEST(ErrorNumber, ObjectErrorRangeIsShownInHexadecimalEverythingElseInDecimal) {
  EXPECT_EQ(qm::FormatErrorNumber(qm::ErrorNumber(0x80040001u)), QStringLiteral("0x80040001"));
  EXPECT_EQ(qm::FormatErrorNumber(qm::ErrorNumber(0x800469AAu)), QStringLiteral("0x800469AA"));
  EXPECT_EQ(qm::FormatErrorNumber(26001), QStringLiteral("26001"));
  EXPECT_EQ(qm::FormatErrorNumber(-5), QStringLiteral("-5"));
  EXPECT_EQ(qm::FormatErrorNumber(qm::ErrorNumber(0x80070005u)), QStringLiteral("-2147024891"));
}

TEST(Error, CarriesNumberSourceAndDescription) {
  const qm::Error e(qm::ErrorNumber(0x80040002u), QStringLiteral("printf"),
                    QStringLiteral("Missing value"));
  EXPECT_EQ(e.number(), static_cast<std::int32_t>(0x80040002u));
  EXPECT_EQ(e.source(), QStringLiteral("printf"));
  EXPECT_EQ(e.description(), QStringLiteral("Missing value"));
  EXPECT_STREQ(e.what(), "printf: Missing value (0x80040002)");
}

}  // namespace
