#include "core/transform.h"

#include <gtest/gtest.h>

namespace pondex {
namespace {

TEST(Transform, EachCharacterIsKeptDroppedOrReplacedAsTheSettingsSay) {
  using enum FrameEndReaction;
  const struct {
    bool text;
    DecimalCommaMode comma;
    std::uint8_t cr, lf;
    FrameEndReaction end;
    std::string received, delivered;
  } cases[] = {
      {true, DecimalCommaMode::Off, 13, 10, Enter, "12.5 kg\r\n", "12.5 kg\r\n"},
      {true, DecimalCommaMode::Grayed, 13, 10, Enter, "1.5", "1,5"},  // a grayed box counts as checked
      // Numeric data: controls up to 26, signs, digits and separators (43..58), and tabs.
      {false, DecimalCommaMode::On, 13, 10, Enter, "\x1a\x1b*+,-/09:;\t\x80\xb9\xff", "\x1a+,-/09:\t"},
      {false, DecimalCommaMode::Off, 13, 10, Enter, "1.2", "1.2"},
      {true, DecimalCommaMode::On, 0, 0, Enter, "1\r\n2", "12"},
      {true, DecimalCommaMode::On, 9, 0, Enter, "1\r2", "1\t2"},  // an odd stored code serves as the replacement
      // Reactions 3 and 4 turn CR into a tab, also over "drop CR".
      {true, DecimalCommaMode::On, 0, 0, EnterTab, "1\r2", "1\t2"},
      {true, DecimalCommaMode::On, 0, 0, EnterTabEnter, "1\r2", "1\t2"},
  };
  for (const auto& k : cases) {
    Settings s;
    s.textMode = k.text;
    s.decimalComma = k.comma;
    s.crReplacement = k.cr;
    s.lfReplacement = k.lf;
    s.atFrameEnd = k.end;
    std::string delivered;
    for (char c : k.received) {
      std::string ch(1, c);
      if (transformChar(s, ch)) delivered += ch;
    }
    EXPECT_EQ(delivered, k.delivered) << k.received;
  }
}

}  // namespace
}  // namespace pondex
