// UTF-8 and the single-byte code pages; the tables themselves are held to
// the system's under Wine (tests/win/text_win32_test.cpp).
#include "platform/portable/code_page.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/fakes/fake_platform.h"

namespace pondex::text {
namespace {

TEST(CodePage, EveryByteOfAFileSurvivesTheWayThroughUtf8) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  for (const SingleByteCodePage* page : {&kWindows1250, &fakes::kWindows1252}) {
    const EncodedText back = fromUtf8(toUtf8(all, *page), *page);
    EXPECT_TRUE(back.complete()) << back.unspellable;
    EXPECT_EQ(back.bytes, all);
  }
}

TEST(CodePage, PolishLettersAreTheirWindows1250Bytes) {
  EXPECT_EQ(toUtf8("PR\xCA"
                   "DKO\x8C\xC6",
                   kWindows1250),
            "PRĘDKOŚĆ");
  EXPECT_EQ(fromUtf8("Zażółć gęślą jaźń ŁÓDŹ", kWindows1250).bytes,
            "Za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1 \xA3\xD3"
            "D\x8F");
}

TEST(CodePage, TheFirstCharacterACodePageLacksIsNamedWhole) {
  const EncodedText lodz = fromUtf8("C:\\Łódź\\", fakes::kWindows1252);
  EXPECT_EQ(lodz.unspellable, "Ł");
  EXPECT_EQ(lodz.bytes,
            "C:\\?\xF3"
            "d?\\");
  EXPECT_EQ(fromUtf8("a€𝄞ł", kWindows1250).unspellable, "𝄞") << "four bytes of UTF-8, one character";
  EXPECT_EQ(fromUtf8("a\xFF"
                     "b",
                     kWindows1250)
                .unspellable,
            "\uFFFD")
      << "a byte that is no UTF-8";
}

TEST(CodePage, MalformedUtf8ReadsAsOneReplacementCharacterPerByte) {
  for (const char* bad : {"\xC0\xAF", "\xE2\x82", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\x80"}) {
    const CodePoint c = decodeUtf8(bad);
    EXPECT_EQ(c.value, 0xFFFDu) << bad;
    EXPECT_EQ(c.length, 1u) << bad;
  }
  EXPECT_EQ(decodeUtf8("𝄞").value, 0x1D11Eu);
  EXPECT_EQ(decodeUtf8("𝄞").length, 4u);
}

TEST(CodePage, Utf16LengthCountsACharacterBeyondTheBasicPlaneTwice) {
  EXPECT_EQ(utf16Length("a𝄞ł"), 4u);
  EXPECT_EQ(utf16Length(""), 0u);
}

}  // namespace
}  // namespace pondex::text
