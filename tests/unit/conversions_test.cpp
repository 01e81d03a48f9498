#include "config/conversions.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <utility>

#include "config/settings.h"

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
TEST(Conversions, IntegersRoundWithinTheirRange) {
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

// The numbers the settings file holds for the option groups and boxes, both
// ways; a number no option stands for comes back empty.
TEST(StoredForms, OptionNumbersMapToTheirEnumsBothWays) {
  EXPECT_EQ(storedFileNaming(-1), FileNaming::PerDay);
  for (int perTransmission : {0, 1, 5, -2}) EXPECT_EQ(storedFileNaming(perTransmission), FileNaming::PerTransmission);
  EXPECT_EQ(storedValue(FileNaming::PerDay), -1);
  EXPECT_EQ(storedValue(FileNaming::PerTransmission), 0);

  EXPECT_EQ(storedWriteMode(0), WriteMode::Append);
  EXPECT_EQ(storedWriteMode(1), WriteMode::Replace);
  EXPECT_EQ(storedWriteMode(2), std::nullopt);
  EXPECT_EQ(storedValue(WriteMode::Replace), 1);
  EXPECT_EQ(storedValue(WriteMode::Append), 0);

  for (int box : {0, 1, 2}) EXPECT_EQ(storedValue(*storedDecimalCommaMode(box)), box);
  EXPECT_EQ(storedDecimalCommaMode(2), DecimalCommaMode::Grayed);
  EXPECT_EQ(storedDecimalCommaMode(3), std::nullopt);
  EXPECT_EQ(storedDecimalCommaMode(-1), std::nullopt);

  EXPECT_EQ(storedOutputTarget(1), OutputTarget::DataFile);
  EXPECT_EQ(storedOutputTarget(2), std::nullopt) << "the panel is never stored";
  EXPECT_EQ(storedValue(OutputTarget::Keystrokes), 0);
  EXPECT_EQ(storedFrameEndReaction(4), FrameEndReaction::EnterTabEnter);
  EXPECT_EQ(storedFrameEndReaction(5), std::nullopt);
}

}  // namespace
}  // namespace pondex
