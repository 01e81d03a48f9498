#pragma once
// The shared lines of real instruments (tests/data/scale-lines/lines.json),
// read for the tests. The file is a JSON array of flat objects whose values
// are strings or null; `bytes` holds the line as a Python-style escaped
// string. The build passes the file's path in PONDEX_SCALE_LINES.
#include <cctype>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace pondex::testdata {

struct ScaleLine {
  std::string id;
  std::string family;
  std::string bytes;                 // as sent, ending included
  std::optional<std::string> typed;  // nothing when the line types nothing
  std::string status;
};

namespace detail {

inline int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  throw std::runtime_error("bad hex digit");
}

// "\r", "\n", "\t", "\\", "\'", "\xNN" as Python reads them in a bytes literal.
inline std::string pythonUnescaped(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\' || i + 1 == s.size()) {
      out += s[i];
      continue;
    }
    const char e = s[++i];
    switch (e) {
      case 'r':
        out += '\r';
        break;
      case 'n':
        out += '\n';
        break;
      case 't':
        out += '\t';
        break;
      case 'x':
        out += static_cast<char>(hexValue(s.at(i + 1)) * 16 + hexValue(s.at(i + 2)));
        i += 2;
        break;
      default:
        out += e;
        break;
    }
  }
  return out;
}

class JsonReader {
 public:
  explicit JsonReader(std::string text) : text_(std::move(text)) {}

  std::vector<ScaleLine> lines() {
    std::vector<ScaleLine> result;
    expect('[');
    while (true) {
      if (peek() == ']') break;
      result.push_back(object());
      if (peek() == ',') ++at_;
    }
    return result;
  }

 private:
  ScaleLine object() {
    ScaleLine line;
    expect('{');
    while (peek() != '}') {
      const std::string key = string();
      expect(':');
      std::optional<std::string> value;
      if (peek() == 'n') {
        at_ += 4;  // null
      } else {
        value = string();
      }
      if (key == "id") line.id = *value;
      if (key == "family") line.family = *value;
      if (key == "bytes") line.bytes = pythonUnescaped(*value);
      if (key == "typed") line.typed = value;
      if (key == "status") line.status = *value;
      if (peek() == ',') ++at_;
    }
    ++at_;
    return line;
  }

  std::string string() {
    expect('"');
    std::string out;
    while (text_.at(at_) != '"') {
      char c = text_[at_++];
      if (c == '\\') {
        c = text_.at(at_++);
        if (c == 'n') c = '\n';
        if (c == 'u') throw std::runtime_error("\\u escapes are not expected in lines.json");
      }
      out += c;
    }
    ++at_;
    return out;
  }

  char peek() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])) != 0) ++at_;
    return text_.at(at_);
  }
  void expect(char c) {
    if (peek() != c) throw std::runtime_error(std::string("lines.json: expected ") + c);
    ++at_;
  }

  std::string text_;
  std::size_t at_ = 0;
};

}  // namespace detail

inline std::vector<ScaleLine> scaleLines() {
  std::ifstream in(PONDEX_SCALE_LINES, std::ios::binary);
  if (!in) throw std::runtime_error(std::string("cannot read ") + PONDEX_SCALE_LINES);
  return detail::JsonReader({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()}).lines();
}

}  // namespace pondex::testdata
