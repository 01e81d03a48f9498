#include "config/conversions.h"

#include <gtest/gtest.h>

namespace pondex {
namespace {

TEST(Conversions, LeadingNumberTakesTheNumericStartOnly) {
  EXPECT_EQ(leadingNumber("12"), 12.0);
  EXPECT_EQ(leadingNumber("  -3.25kg"), -3.25);
  EXPECT_EQ(leadingNumber("1 2"), 1.0);
  EXPECT_EQ(leadingNumber("abc"), 0.0);
  EXPECT_EQ(leadingNumber(""), 0.0);
  EXPECT_EQ(leadingNumber(".5"), 0.5);
  EXPECT_EQ(leadingNumber("-"), 0.0);
}

TEST(Conversions, RoundingIsToTheNearestWithTiesToEven) {
  EXPECT_EQ(toInt16("2.5"), 2);
  EXPECT_EQ(toInt16("3.5"), 4);
  EXPECT_EQ(toInt16("-2.5"), -2);
  EXPECT_EQ(toInt16("1.49"), 1);
  EXPECT_EQ(toByte("0.5"), 0);
  EXPECT_EQ(toByte("1.5"), 2);
}

TEST(Conversions, ValuesBeyondTheTargetTypeAreRefused) {
  EXPECT_EQ(toInt16("32767"), 32767);
  EXPECT_EQ(toInt16("32768"), std::nullopt);
  EXPECT_EQ(toInt16("-32768"), -32768);
  EXPECT_EQ(toByte("255"), 255);
  EXPECT_EQ(toByte("256"), std::nullopt);
  EXPECT_EQ(toByte("-1"), std::nullopt);
  EXPECT_EQ(toInt32("99999999999"), std::nullopt);
  EXPECT_EQ(toInt16("1e999"), 1) << "no exponents: only the leading digits count";
}

TEST(Conversions, TruthValues) {
  EXPECT_EQ(toBoolean("-1"), true);
  EXPECT_EQ(toBoolean(" 1 "), true);
  EXPECT_EQ(toBoolean("0"), false);
  EXPECT_EQ(toBoolean("0.0"), false);
  EXPECT_EQ(toBoolean("True"), true);
  EXPECT_EQ(toBoolean("FALSE"), false);
  EXPECT_EQ(toBoolean("1x"), std::nullopt);
  EXPECT_EQ(toBoolean("tak"), std::nullopt);
  EXPECT_EQ(toBoolean(""), std::nullopt);
  EXPECT_EQ(booleanText(true), "-1");
  EXPECT_EQ(booleanText(false), "0");
}

}  // namespace
}  // namespace pondex
