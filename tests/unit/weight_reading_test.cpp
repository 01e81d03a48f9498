#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/line_recognition.h"
#include "core/line_splitter.h"
#include "core/record_assembler.h"

namespace pondex {
namespace {

// Pieces in, numbers out, without a clock: whatever a piece leaves held is
// decided as if its wait were over when the piece ends.
class WeightReader {
 public:
  using Options = RecordAssembler::Options;

  std::vector<std::string> piece(std::string_view text, const Options& options) {
    std::vector<std::string> numbers;
    for (const auto& line : lines_.add({.bytes = std::string(text)})) append(numbers, records_.line(line, options));
    append(numbers, records_.timeUp(kLater, options));
    return numbers;
  }
  std::optional<std::string> silence(const Options& options) {
    std::vector<std::string> numbers;
    if (const auto line = lines_.flush(Millis{0})) append(numbers, records_.line(*line, options));
    append(numbers, records_.timeUp(kLater, options));
    if (numbers.empty()) return std::nullopt;
    return numbers.back();
  }
  void readingAsked() { records_.readingAsked(); }
  void newWeighing() { records_.newWeighing(); }

 private:
  static constexpr Millis kLater = Millis::max() / 2;
  static void append(std::vector<std::string>& numbers, const std::vector<Reading>& readings) {
    for (const auto& r : readings) numbers.push_back(r.number);
  }
  LineSplitter lines_;
  RecordAssembler records_;
};

using enum ReadingStatus;

const WeightReader::Options kNumberAlone{.settledOnly = false, .separator = ','};
const WeightReader::Options kSettledOnly{.settledOnly = true, .separator = ','};

// Every number the reader gives for these pieces, then for the silence.
std::string typedFor(WeightReader& reader, std::initializer_list<std::string_view> pieces,
                     const WeightReader::Options& options) {
  std::string typed;
  for (auto piece : pieces) {
    for (const auto& number : reader.piece(piece, options)) typed += number + "|";
  }
  if (auto last = reader.silence(options)) typed += *last + "|";
  return typed;
}

struct LineCase {
  std::string line;
  ReadingStatus status;
  const char* typed;  // "" when the line types nothing
};

std::vector<LineCase> lineCases() {
  return {
      {"S S      12.345 kg", Settled, "12,345"},
      {"S D      10.100 kg", Moving, "10,100"},
      {"S S       0.000 kg", Settled, "0,000"},
      {"ST,+00007.125  kg", Settled, "7,125"},
      {"US,+00007.500  kg", Moving, "7,500"},
      {"ST,-00000.500  kg", Settled, "-0,500"},
      {"ST,-00000.000  kg", Settled, "0,000"},  // no sign for a zero
      {"OL,+99999.999  kg", Overload, ""},
      {"     1.250 g", Settled, "1,250"},
      {"     1.250 g  ?", Moving, "1,250"},
      {"S S -    3.5 kg", Settled, "-3,5"},  // the sign apart from its digits
      {"N 2 pcs  3.5 kg", Settled, "2"},     // the first of two weights with a unit
      {"S S  0012,50 kg", Settled, "12,50"},
      {"S S     12. kg", Settled, "12"},  // a separator without digits is no decimal part
      {"T-x 5 kg", Settled, "5"},         // a minus not before the digits is no sign
      {"ES", None, ""},
      {"S S   ---.--- kg", Settled, ""},
      // Cut at 256 characters: a number before the cut counts, one running into it does not.
      {"S S 4.5 kg" + std::string(300, ' ') + "9", Settled, "4,5"},
      {std::string(250, ' ') + "12.345 kg", Settled, ""},
  };
}

TEST(WeightReading, EachLineGivesItsStatus) {
  for (const auto& k : lineCases()) EXPECT_EQ(recogniseLine(k.line).status, k.status) << k.line;
}

TEST(WeightReading, EachLineTypesItsNumberAlone) {
  for (const auto& k : lineCases()) {
    WeightReader reader;
    EXPECT_EQ(typedFor(reader, {k.line + "\r\n"}, kNumberAlone), k.typed + std::string(*k.typed ? "|" : "")) << k.line;
  }
}

TEST(WeightReading, LinesEndAtCrOrLfOrBothWhereverTheReadsCutThem) {
  WeightReader reader;
  // CR LF split over two reads, a line split over two reads, a lone CR, a
  // lone LF, blank lines, and an unended line taken at the silence.
  EXPECT_EQ(typedFor(reader, {"S S 1.0 kg\r", "\nS S 2", ".5 kg\r", "S S 3 kg\n\n\r\n", "4"}, kNumberAlone),
            "1,0|2,5|3|4|");
  // The LF that follows a silence after a CR still belongs to that CR.
  EXPECT_EQ(typedFor(reader, {"5\r"}, kNumberAlone), "5|");
  EXPECT_EQ(typedFor(reader, {"\n6\n"}, kNumberAlone), "6|");
  // After an over-long line the next one starts clean.
  EXPECT_EQ(typedFor(reader, {std::string(400, 'x') + "\r\n7.5\r\n"}, {.separator = '.'}), "7.5|");
}

TEST(WeightReading, SettledReadingsAreTypedOncePerWeighing) {
  const struct {
    const char* what;
    std::initializer_list<std::string_view> lines;
    const char* typed;
  } cases[] = {
      {"the example of 27 lines",
       {"S D      10.100 kg", "S D      10.100 kg", "S D      10.100 kg", "S S      12.345 kg", "S S      12.345 kg",
        "S S      12.345 kg", "S S      12.345 kg", "S S      12.345 kg", "S D       3.000 kg", "S D       3.000 kg",
        "S S       0.000 kg", "S S       0.000 kg", "S S       0.000 kg", "ST,+00007.125  kg",  "ST,+00007.125  kg",
        "ST,+00007.125  kg",  "ST,+00007.125  kg",  "US,+00007.500  kg",  "US,+00007.500  kg",  "ST,-00000.500  kg",
        "ST,-00000.500  kg",  "ST,-00000.500  kg",  "     1.250 g  ?",    "     1.250 g  ?",    "     1.250 g",
        "     1.250 g",       "     1.250 g"},
       "12,345|7,125|-0,500|1,250|"},
      {"a wobble at the same load", {"S S 12.345 kg", "S D 12.350 kg", "S S 12.345 kg", "S S 12.3450 kg"}, "12,345|"},
      {"a new load without zero between", {"S S 12.345 kg", "S S 13.000 kg", "S S 12.345 kg"}, "12,345|13,000|12,345|"},
      {"the same load again after zero", {"S S 2.0 kg", "S S 0.0 kg", "S S 2.0 kg"}, "2,0|2,0|"},
      {"zero, overload and lines without digits type nothing", {"S S 0.0 kg", "OL,+99999.999 kg", "ES"}, ""},
  };
  for (const auto& k : cases) {
    WeightReader reader;
    std::string typed;
    for (auto line : k.lines) {
      for (const auto& number : reader.piece(std::string(line) + "\r\n", kSettledOnly)) typed += number + "|";
    }
    EXPECT_EQ(typed, k.typed) << k.what;
  }
}

TEST(WeightReading, TheAnswerToTheReadCommandIsTypedWhenSettledEvenIfItRepeats) {
  WeightReader reader;
  EXPECT_EQ(typedFor(reader, {"S S 5.0 kg\r\n", "S S 5.0 kg\r\n"}, kSettledOnly), "5,0|");
  reader.readingAsked();
  EXPECT_EQ(typedFor(reader, {"S S 5.0 kg\r\n", "S S 5.0 kg\r\n"}, kSettledOnly), "5,0|") << "only the first answers";
  reader.readingAsked();
  EXPECT_EQ(typedFor(reader, {"S D 5.5 kg\r\n", "S S 5.0 kg\r\n"}, kSettledOnly), "") << "a moving answer";
  reader.readingAsked();
  EXPECT_EQ(typedFor(reader, {"S S 0.0 kg\r\n", "S S 5.0 kg\r\n"}, kSettledOnly), "0,0|5,0|")
      << "a zero asked for is typed and still begins a new weighing";
  reader.newWeighing();
  EXPECT_EQ(typedFor(reader, {"S S 5.0 kg\r\n"}, kSettledOnly), "5,0|") << "listening started again";
}

}  // namespace
}  // namespace pondex
