#include "config/conversions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <utility>

namespace pondex {
namespace {

TEST(Conversions, LeadingNumberTakesTheNumericStartOnly) {
  for (auto [text, number] :
       {std::pair{"12", 12.0}, {"  -3.25kg", -3.25}, {"1 2", 1.0}, {"abc", 0.0}, {"", 0.0}, {".5", 0.5}, {"-", 0.0}}) {
    EXPECT_EQ(leadingNumber(text), number) << text;
  }
}

// Rounding is to the nearest with ties to even; values beyond the target
// type are refused; no exponents: only the leading digits count.
TEST(Conversions, ToInt16AndToByte) {
  const std::pair<const char*, std::optional<std::int16_t>> int16s[] = {
      {"2.5", 2},         {"3.5", 4},  {"-2.5", -2}, {"1.49", 1}, {"32767", 32767}, {"32768", std::nullopt},
      {"-32768", -32768}, {"1e999", 1}};
  for (const auto& [text, value] : int16s) EXPECT_EQ(toInt16(text), value) << text;
  const std::pair<const char*, std::optional<std::uint8_t>> bytes[] = {
      {"0.5", 0}, {"1.5", 2}, {"255", 255}, {"256", std::nullopt}, {"-1", std::nullopt}};
  for (const auto& [text, value] : bytes) EXPECT_EQ(toByte(text), value) << text;
  EXPECT_EQ(toInt32("99999999999"), std::nullopt);
}

TEST(Conversions, TruthValues) {
  const std::pair<const char*, std::optional<bool>> cases[] = {
      {"-1", true},     {" 1 ", true},        {"0", false},          {"0.0", false},    {"True", true},
      {"FALSE", false}, {"1x", std::nullopt}, {"tak", std::nullopt}, {"", std::nullopt}};
  for (const auto& [text, value] : cases) EXPECT_EQ(toBoolean(text), value) << text;
  EXPECT_EQ(booleanText(true), "-1");
  EXPECT_EQ(booleanText(false), "0");
}

}  // namespace
}  // namespace pondex
