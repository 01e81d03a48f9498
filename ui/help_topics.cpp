#include "ui/help_topics.h"

namespace pondex::help {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::string_view kHeading = "==";
constexpr std::string_view kBullet = "\xE2\x80\xA2 ";  // U+2022 and a blank

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

std::string_view trimEnd(std::string_view s) {
  const auto last = s.find_last_not_of(" \t");
  return last == std::string_view::npos ? std::string_view{} : s.substr(0, last + 1);
}

bool isVerbatim(std::string_view line) {
  return line.starts_with('\t') || line.starts_with("    ");
}

// The lines of one topic as they will be shown.
class Body {
 public:
  void blank() {
    if (!lines_.empty() && !lines_.back().empty()) lines_.emplace_back();
    open_ = false;
  }
  void verbatim(std::string_view line) {
    lines_.emplace_back(trimEnd(line));
    open_ = false;
  }
  void item(std::string text) {
    lines_.push_back(std::move(text));
    open_ = true;
  }
  void text(std::string_view text) {
    if (open_) {
      lines_.back().append(" ").append(text);
    } else {
      item(std::string(text));
    }
  }
  std::string take() {
    while (!lines_.empty() && lines_.back().empty()) lines_.pop_back();
    std::string joined;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
      if (i > 0) joined += "\r\n";
      joined += lines_[i];
    }
    lines_.clear();
    open_ = false;
    return joined;
  }

 private:
  std::vector<std::string> lines_;
  bool open_ = false;  // the last line is a paragraph or item that goes on
};

}  // namespace

std::vector<Topic> parseTopics(std::string_view text) {
  if (text.starts_with(kByteOrderMark)) text.remove_prefix(kByteOrderMark.size());
  std::vector<Topic> topics;
  Body body;
  while (!text.empty()) {
    const auto end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);

    const std::string_view title = line.starts_with(kHeading) ? trim(line.substr(kHeading.size())) : "";
    if (!title.empty()) {
      std::string finished = body.take();  // before the first heading: notes, dropped
      if (!topics.empty()) topics.back().body = std::move(finished);
      topics.push_back({std::string(title), {}});
    } else if (trim(line).empty()) {
      body.blank();
    } else if (isVerbatim(line)) {
      body.verbatim(line);
    } else if (line.starts_with("- ")) {
      body.item(std::string(kBullet) + std::string(trim(line.substr(2))));
    } else {
      body.text(trim(line));
    }
  }
  if (!topics.empty()) topics.back().body = body.take();
  return topics;
}

}  // namespace pondex::help
