#include "ui/help_topics.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

namespace pondex::help {
namespace {

const char* const kTopics =
    "\xEF\xBB\xBFnote for translators\r\n"
    "==  First  \r\n"
    "\r\n"
    "Connect the\r\n"
    "  scale.\r\n"
    "\r\n\r\n"
    "- one\r\n"
    "  more\r\n"
    "- two\r\n"
    "after\r\n"
    "    python3 sim.py  --tcp 4001  \r\n"
    "\ttab\r\n"
    "next\r\n"
    "\r\n"
    "== Second\n"
    "== Third\n"
    "x\n"
    "==\n";

TEST(HelpTopics, HeadingsSplitTheFileIntoTopics) {
  const auto topics = parseTopics(kTopics);
  ASSERT_EQ(topics.size(), 3u);
  EXPECT_EQ(topics[0].title, "First");
  EXPECT_EQ(topics[1].title, "Second");
  EXPECT_EQ(topics[1].body, "");
  // A heading without a title is text, not a topic.
  EXPECT_EQ(topics[2].body, "x ==");
  EXPECT_TRUE(parseTopics("just text\n\n- item\n").empty()) << "without a heading there is no topic";
}

TEST(HelpTopics, TheLinesOfAParagraphAreJoined) {
  const auto topics = parseTopics(kTopics);
  ASSERT_FALSE(topics.empty());
  EXPECT_EQ(topics[0].body,
            "Connect the scale.\r\n\r\n\u2022 one more\r\n\u2022 two after\r\n    python3 sim.py  --tcp "
            "4001\r\n\ttab\r\nnext");
}

std::string readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The language switch keeps the selected topic by its position, so both
// files must hold the same topics in the same order.
TEST(HelpTopics, BothLanguagesHaveTheSameTopics) {
  const auto folder = std::filesystem::path(__FILE__).parent_path() / ".." / ".." / "app" / "help" / "text";
  const auto polish = parseTopics(readFile(folder / "pl.txt"));
  const auto english = parseTopics(readFile(folder / "en.txt"));
  ASSERT_GE(polish.size(), 10u) << folder;
  ASSERT_EQ(polish.size(), english.size());
  for (const auto* topics : {&polish, &english}) {
    for (const auto& topic : *topics) EXPECT_FALSE(topic.body.empty()) << topic.title;
  }
}

}  // namespace
}  // namespace pondex::help
