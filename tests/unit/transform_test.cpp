#include "core/transform.h"

#include <gtest/gtest.h>

namespace pondex {
namespace {

// Runs every character of `text` through the transformation and joins
// what is delivered.
std::string transform(const Settings& s, const std::string& text) {
  std::string out;
  for (char c : text) {
    std::string ch(1, c);
    if (TransformChar(s, ch)) out += ch;
  }
  return out;
}

Settings textData() {
  Settings s;
  s.TextMode = true;
  s.DecimalCommaMode = 1;
  s.CrReplacement = 13;
  s.LfReplacement = 10;
  s.FrameEndReaction = FrameEndReaction::Enter;
  return s;
}

TEST(TransformChar, TextDataWithDecimalCommaKeepsEverythingElse) {
  EXPECT_EQ(transform(textData(), "12.5 kg\r\n"), "12,5 kg\r\n");
  Settings s = textData();
  s.DecimalCommaMode = 0;
  EXPECT_EQ(transform(s, "12.5 kg\r\n"), "12.5 kg\r\n");
  s.DecimalCommaMode = 2;  // a grayed box counts as checked
  EXPECT_EQ(transform(s, "1.5"), "1,5");
}

TEST(TransformChar, NumericDataKeepOnlyControlsSignsDigitsAndSeparators) {
  Settings s = textData();
  s.TextMode = false;
  s.LfReplacement = 0;
  EXPECT_EQ(transform(s, "N   +0.500 g\r\n"), "+0,500\r");
  // The borders of the kept ranges: 26 and 43..58 pass; 27, 42, 59 do not.
  EXPECT_EQ(transform(s, "\x1a\x1b*+,-/09:;"), "\x1a+,-/09:");
  EXPECT_EQ(transform(s, "\t"), "\t") << "a tab from the instrument passes";
  EXPECT_EQ(transform(s, "\x80\xb9\xff"), "") << "codes from 128 up are dropped";
  s.DecimalCommaMode = 0;
  EXPECT_EQ(transform(s, "1.2"), "1.2") << "a point is kept, never filtered";
}

TEST(TransformChar, CarriageReturnAndLineFeedReplacements) {
  Settings s = textData();
  s.CrReplacement = 0;
  s.LfReplacement = 0;
  EXPECT_EQ(transform(s, "1\r\n2"), "12");
  s.CrReplacement = 9;  // an odd stored code serves as the replacement
  EXPECT_EQ(transform(s, "1\r2"), "1\t2");
  for (auto reaction : {FrameEndReaction::EnterTab, FrameEndReaction::EnterTabEnter}) {
    s.FrameEndReaction = reaction;
    s.CrReplacement = 0;  // reactions 3 and 4 win over "drop CR"
    EXPECT_EQ(transform(s, "1\r2"), "1\t2") << storedValue(reaction);
  }
  s.FrameEndReaction = FrameEndReaction::Enter;
  std::string ch = "\r";
  EXPECT_TRUE(TransformChar(s, ch)) << "a replacement by nothing is still delivered";
  EXPECT_EQ(ch, "");
}

}  // namespace
}  // namespace pondex
