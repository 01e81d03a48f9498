// One line alone: lines in shapes the shared file lacks, each fed as a
// record of its own after a settled zero, with settled-only on, and what
// it must type; then the parts of a reading a caller sees.
#include "core/line_recognition.h"

#include <gtest/gtest.h>

#include "core/record_assembler.h"

namespace pondex {
namespace {

using enum ReadingStatus;

// What a line types as a record of its own, "" for nothing.
std::string typedAlone(const std::string& text) {
  RecordAssembler records;
  const RecordAssembler::Options options{.settledOnly = true, .separator = '.'};
  (void)records.line({.text = "S S       0.000 kg", .endedAt = Millis(0)}, options);
  std::string typed;
  for (const auto& r : records.line({.text = text, .endedAt = Millis(400)}, options)) typed += r.number;
  for (const auto& r : records.timeUp(Millis(1000), options)) typed += r.number;
  return typed;
}

TEST(LineRecognition, LinesOfOtherShapesTypeWhatTheyMust) {
  const struct {
    std::string line;
    const char* typed;
    ReadingStatus status;
  } lines[] = {
      {"01ST,GS,    12.5,kg", "12.5", Settled},  // an address glued to the header, the unit after a comma
      {"US,GS,    12.5,kg", "", Moving},
      {"03 ST,+0012.50", "12.50", Settled},  // a device number apart from its status field, no unit
      {" 1N  +01250.5", "1250.5", Settled},  // a range digit and its net letter, no unit
      {"    12.73 g ? NET", "", Moving},     // "?" before a trailing legend
      {"    12.73 g   NET", "12.73", Settled},
      {"  25.40 lb MOT.", "", Moving},
      {"  25.40 lb  M", "", Moving},
      {"v      0.000 kg", "", Underload},
      {"UL,-0001.00 kg", "", Underload},
      {"  001234LBNOC", "", Overload},
      {"SIR     12.30 g", "12.30", Settled},  // an echo of its own
      {"ST,NT,+0005.25 kg", "5.25", Settled},
      {"NET   -   12.5 kg", "-12.5", Settled},
      {"\t12.5\tkg", "12.5", Settled},  // a tab is a blank
      {"0012,50 KG S", "12.50", Settled},
      {"+ 00045.2 kg  CZ", "45.2", Settled},
      {"  1.0052 ozt", "1.0052", Settled},
      {"  1.0052 OZT", "1.0052", Settled},  // the longest unit first: not OZ and a tare letter
      {"12.5%", "12.5", Settled},
      {"  3.25 dwt", "3.25", Settled},
      {"  7.5 t", "7.5", Settled},
      {"Weight: 12.5 kg", "12.5", Settled},
      {"12.5 kg 27.56 lb", "12.5", Settled},  // the first weight with a unit
      {"Date 2024-01-05  12.5 kg", "12.5", Settled},
      {"S/N: 4711  12.5 kg", "12.5", Settled},  // an identifier beside a weight
      {"Gross: 12.5 lb", "12.5", Settled},      // a gross alone, no tare with it
      {"1250.5T", "", Settled},                 // a tare alone: never typed
      {"  12.5 kg PT", "", Settled},
      {"SCALE: 1", "", None},
      {"Model   Z100", "", None},
      {"10.05.40", "", None},  // two decimal points
      {"09:31", "", None},
      {"ID 12", "", None},
      {"Nr 200 g", "", None},  // an identifier, though a unit follows it
      {"Err 04", "", Error},
      {"ERROR 3  12.5 kg", "", Error},
      {"^^^^^^ kg", "", None},
      {"   -      kg", "", None},
      {"Thank you 2 much", "", None},
      {"\x02,4 001234000000", "", Overload},  // a binary frame out of range
      {"\x02"
       "20 001234",
       "1234", Settled},  // a binary frame without a decimal point, framed digits for status bytes
  };
  for (const auto& k : lines) {
    EXPECT_EQ(typedAlone(k.line), k.typed) << k.line;
    EXPECT_EQ(recogniseLine(k.line).status, k.status) << k.line;
  }
}

TEST(LineRecognition, AReadingTakesItsFieldsFromTheLine) {
  const struct {
    std::string line;
    const char* number;
    std::string_view unit;
    WeightLabel label;
    bool marked;
  } lines[] = {
      {"S S    -0.0082 g", "-0.0082", "g", WeightLabel::None, true},
      {"ST,+00000.000  kg", "0.000", "kg", WeightLabel::None, true},  // no sign for a zero
      {"      18.32[0] g  ", "18.320", "g", WeightLabel::None, false},
      {"  NET:     85.0KG", "85.0", "kg", WeightLabel::Net, false},
      {" 001234LBG  ", "1234", "lb", WeightLabel::Gross, false},
      {"          125PCS", "125", "pcs", WeightLabel::None, false},
      {"+00001.27", "1.27", "", WeightLabel::None, false},
      {"\x02"
       "1  001234000000",
       "12340", "lb", WeightLabel::Gross, true},
  };
  for (const auto& k : lines) {
    const LineReading r = recogniseLine(k.line);
    ASSERT_TRUE(r.isWeight) << k.line;
    EXPECT_EQ(r.number.text('.'), k.number) << k.line;
    EXPECT_EQ(r.unit, k.unit) << k.line;
    EXPECT_EQ(r.label, k.label) << k.line;
    EXPECT_EQ(r.marked, k.marked) << k.line;
  }
}

TEST(LineRecognition, ControlCharactersAreNoPartOfALine) {
  EXPECT_EQ(recogniseLine("\x01S S  \x7F 12.5 kg").number.text('.'), "12.5");
}

TEST(LineRecognition, AnStxStartsALineAfresh) {
  // The checksum of the frame before stands in front of the STX.
  EXPECT_EQ(recogniseLine("7\x02,0 001234000000").number.text('.'), "12.34");
  // Digits alone are a binary frame only after an STX.
  EXPECT_EQ(recogniseLine("123456789").number.text('.'), "123456789");
}

TEST(LineRecognition, AMarkIsNeverFoundInsideAWord) {
  for (const char* line : {"Model 12.5 kg", "Thank 12.5 kg", "MOTOR 12.5 kg", "Most 12.5 kg"}) {
    const LineReading r = recogniseLine(line);
    EXPECT_FALSE(r.marked) << line;
  }
  EXPECT_FALSE(recogniseLine("Model 12.5 kg").isWeight) << "a heading word";
  EXPECT_EQ(recogniseLine("Most 12.5 kg").status, Settled);
}

}  // namespace
}  // namespace pondex
