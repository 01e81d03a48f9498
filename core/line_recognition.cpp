#include "core/line_recognition.h"

#include <algorithm>
#include <string>

#include "core/binary_status.h"
#include "core/line_fields.h"

namespace pondex {
namespace {

using fields::Field;
using fields::Kind;
using fields::MarkSum;

constexpr int kNone = -1;

bool isDigit(char c) {
  return c >= '0' && c <= '9';
}

bool isControl(char c) {
  const auto b = static_cast<unsigned char>(c);
  return (b < 0x20 && c != '\t') || b == 0x7F;
}

// The line without control characters; what came before an STX is not
// part of the frame that starts there.
std::string_view cleaned(std::string_view line, std::string& buffer, bool& framed) {
  const auto stx = line.rfind('\x02');
  framed = stx != std::string_view::npos;
  if (framed) line.remove_prefix(stx + 1);
  if (std::none_of(line.begin(), line.end(), isControl)) return line;
  buffer.clear();
  std::copy_if(line.begin(), line.end(), std::back_inserter(buffer), [](char c) { return !isControl(c); });
  return buffer;
}

WeightNumber numberOf(std::string_view text) {
  WeightNumber n;
  std::size_t i = 0;
  if (text[0] == '+' || text[0] == '-') {
    n.negative = text[0] == '-';
    i = 1;
  }
  while (i < text.size() && isDigit(text[i])) n.units += text[i++];
  bool separator = false;
  if (i < text.size() && (text[i] == '.' || text[i] == ',')) {
    separator = true;
    ++i;
    while (i < text.size() && isDigit(text[i])) n.decimals += text[i++];
  }
  if (i + 1 < text.size() && text[i] == '[') (separator ? n.decimals : n.units) += text[i + 1];
  return n;
}

bool isLabel(MarkMeaning m) {
  return m == MarkMeaning::Gross || m == MarkMeaning::Net || m == MarkMeaning::Tare;
}

class Recogniser {
 public:
  Recogniser(std::string_view line, const fields::Fields& fs)
      : line_(line), fields_(fs.items.data()), count_(static_cast<int>(fs.count)) {}

  LineReading run() {
    LineReading r;
    bool blocked = false;
    for (int i = 0; i < count_; ++i) {
      const Field& f = fields_[i];
      if (f.kind == Kind::Word && (f.word == LineWord::Heading || f.word == LineWord::Error)) blocked = true;
      if (f.kind == Kind::DateTime || f.kind == Kind::Word || f.idNumber) r.heading = true;
    }
    if (!blocked) weight_ = weightWithUnit();
    if (!blocked && weight_ == kNone) weight_ = unitlessWeight();

    MarkSum sum;
    if (weight_ != kNone) takeWeight(r, sum);
    sumMarks(sum);
    r.status = sum.status;
    r.marked = sum.marked;
    if (r.isWeight && r.status == ReadingStatus::None) r.status = ReadingStatus::Settled;
    if (r.label == WeightLabel::None) r.label = sum.label;
    return r;
  }

 private:
  [[nodiscard]] bool isId(int i) const {
    return i > 0 && fields_[i - 1].kind == Kind::Word && fields_[i - 1].word == LineWord::Id;
  }

  [[nodiscard]] bool isCandidate(int i) const {
    return fields_[i].kind == Kind::Number && !fields_[i].address && !isId(i);
  }

  // The field after a number that holds its unit, or kNone.
  [[nodiscard]] int unitFieldAfter(int i) const {
    if (i + 1 >= count_) return kNone;
    const Field& next = fields_[i + 1];
    if (next.kind == Kind::Unit || (next.kind == Kind::Marks && next.alsoUnit)) return i + 1;
    return kNone;
  }

  [[nodiscard]] bool hasUnit(int i) const { return !fields_[i].unit.empty() || unitFieldAfter(i) != kNone; }

  int weightWithUnit() {
    for (int i = 0; i < count_; ++i) {
      if (!isCandidate(i) || !hasUnit(i)) continue;
      // "1 G  7.025kg": a lone gross/net/tare letter after a range digit
      // is its label, not grams, when a weight with a unit follows.
      const int u = unitFieldAfter(i);
      if (fields_[i].unit.empty() && fields_[u].kind == Kind::Marks && fields_[u].text.size() == 1 && laterWithUnit(u))
        continue;
      return i;
    }
    return kNone;
  }

  [[nodiscard]] bool laterWithUnit(int after) const {
    for (int i = after + 1; i < count_; ++i) {
      if (isCandidate(i) && hasUnit(i)) return true;
    }
    return false;
  }

  [[nodiscard]] bool rangeLike(int i) const {
    const Field& f = fields_[i];
    const bool statusNext = i + 1 < count_ && fields_[i + 1].kind == Kind::Marks;
    return f.integer && f.number.size() <= 3 && (f.marks.label != WeightLabel::None || f.marks.marked || statusNext);
  }

  // Without a unit, the weight is the first number after nothing but
  // status marks, a sign, and range digits or addresses.
  int unitlessWeight() {
    for (int i = 0; i < count_; ++i) {
      const Field& f = fields_[i];
      if (isCandidate(i)) {
        const bool another =
            std::any_of(fields_ + i + 1, fields_ + count_, [](const Field& g) { return g.kind == Kind::Number; });
        if (rangeLike(i) && another) continue;
        return i;
      }
      const bool statusLike = f.kind == Kind::Marks || f.kind == Kind::Sign || (f.kind == Kind::Number && f.address);
      if (!statusLike) return kNone;
    }
    return kNone;
  }

  void takeWeight(LineReading& r, MarkSum& sum) {
    const Field& f = fields_[weight_];
    r.isWeight = true;
    r.number = numberOf(f.number);
    const std::size_t numberEnd = f.end - f.text.size() + f.number.size();
    r.numberAtEnd = numberEnd == line_.size();
    // A sign apart from its digits: "-    2.237".
    if (weight_ > 0 && fields_[weight_ - 1].kind == Kind::Sign && f.number[0] != '+' && f.number[0] != '-') {
      sign_ = weight_ - 1;
      r.number.negative = fields_[sign_].text == "-";
    }
    r.unit = f.unit;
    r.label = f.marks.label;
    if (r.unit.empty()) {
      unit_ = unitFieldAfter(weight_);
      if (unit_ != kNone) {
        r.unit = fields_[unit_].kind == Kind::Unit ? fields_[unit_].unit : unitNamed(fields_[unit_].text).value_or("");
        if (r.label == WeightLabel::None) r.label = fields_[unit_].marks.label;
        sum.add(fields_[unit_].marks);
      }
    }
    if (!r.unit.empty()) return;
    statusNumber(sum);
    // The unit is sent only when settled: blanks where it stands mean moving.
    if (weight_ == count_ - 1 && line_.size() - f.end >= 2 &&
        std::all_of(line_.begin() + static_cast<std::ptrdiff_t>(f.end), line_.end(),
                    [](char c) { return c == ' ' || c == '\t'; })) {
      sum.add(MarkMeaning::Moving);
    }
  }

  // Weight, address, status: the last of at least two whole numbers after
  // the weight, each after a comma.
  void statusNumber(MarkSum& sum) const {
    if (count_ - weight_ - 1 < 2) return;
    for (int i = weight_ + 1; i < count_; ++i) {
      const Field& f = fields_[i];
      if (f.kind != Kind::Number || !f.integer || !f.afterComma || !f.unit.empty() || f.marks.marked) return;
    }
    const std::string_view digits = fields_[count_ - 1].number;
    if (digits.size() > 6) return;
    unsigned value = 0;
    for (char c : digits) value = value * 10 + static_cast<unsigned>(c - '0');
    if ((value & kStatusOverloadBit) != 0) {
      sum.add(MarkMeaning::Overload);
    } else {
      sum.add((value & kStatusStandstillBit) != 0 ? MarkMeaning::Settled : MarkMeaning::Moving);
    }
  }

  [[nodiscard]] bool echoFirst() const {
    if (count_ == 0 || fields_[0].kind != Kind::Marks) return false;
    if (fields_[0].marks.echo) return true;
    const StatusMark* m = markAt(fields_[0].text, Place::LineStart);
    return m != nullptr && (m->meaning == MarkMeaning::Echo || isLabel(m->meaning));
  }

  [[nodiscard]] Place placesOf(int i) const {
    auto places = static_cast<Place>(0);
    if (i == 0) places = places | Place::LineStart;
    if (i == 1 && echoFirst()) places = places | Place::AfterEcho;
    if (weight_ != kNone ? i < weight_ : (i > 0 && i + 1 < count_)) places = places | Place::BeforeNumber;
    if (weight_ != kNone && i == (unit_ != kNone ? unit_ : weight_) + 1) places = places | Place::AfterUnit;
    if (i == count_ - 1 && i > 0 && (weight_ == kNone || i > weight_)) places = places | Place::LineEnd;
    return places;
  }

  void sumMarks(MarkSum& sum) const {
    for (int i = 0; i < count_; ++i) {
      const Field& f = fields_[i];
      if (i == sign_ || i == unit_) continue;
      switch (f.kind) {
        case Kind::Number:
          if (!isId(i)) sum.add(f.marks);
          break;
        case Kind::Marks:
          if (f.lineStartOnly && i != 0) break;
          if (f.marks.marked || f.marks.label != WeightLabel::None) {
            sum.add(f.marks);
            break;
          }
          [[fallthrough]];
        case Kind::Sign:
          if (const StatusMark* m = markAt(f.text, placesOf(i))) sum.add(m->meaning);
          break;
        case Kind::Word:
          if (f.word == LineWord::Error) sum.add(MarkMeaning::Error);
          break;
        case Kind::Unit:
        case Kind::DateTime:
        case Kind::Code:
        case Kind::Plain:
          break;
      }
    }
  }

  std::string_view line_;
  const Field* fields_;
  int count_;
  int weight_ = kNone;
  int unit_ = kNone;
  int sign_ = kNone;
};

}  // namespace

LineReading recogniseLine(std::string_view text) {
  std::string buffer;
  bool framed = false;
  const std::string_view line = cleaned(text, buffer, framed);
  if (auto binary = binaryStatusReading(line, framed)) return *binary;
  fields::Fields fs;
  fields::split(line, fs);
  return Recogniser(line, fs).run();
}

}  // namespace pondex
