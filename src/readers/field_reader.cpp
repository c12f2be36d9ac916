#include "readers/field_reader.h"

#include "model/faults.h"
#include "model/run_errors.h"

namespace sb {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool FieldReader::AtLineEnd() const {
  if (pos_ >= text_.size()) return false;
  if (text_[pos_] == '\n') return true;
  return text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n';
}

void FieldReader::ConsumeLineEnd() {
  pos_ += text_[pos_] == '\r' ? 2 : 1;
  ++line_;
}

void FieldReader::StartField() {
  if (Eof()) throw ReadFailure("the text ends where a field was expected");
  field_starts_line_ = pos_ == 0 || text_[pos_ - 1] == '\n';
  while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  field_line_ = line_;
}

std::string FieldReader::ReadText() {
  StartField();
  size_t start = pos_;
  while (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd()) ++pos_;
  std::string field(text_.substr(start, pos_ - start));
  if (pos_ < text_.size()) {
    if (text_[pos_] == ',')
      ++pos_;
    else
      ConsumeLineEnd();
  }
  return field;
}

int64_t FieldReader::ReadNumber(int64_t lo, int64_t hi, const char* type) {
  StartField();
  size_t start = pos_;
  while (pos_ < text_.size() && text_[pos_] != ',' && !IsBlank(text_[pos_]) && !AtLineEnd())
    ++pos_;
  std::string_view field = text_.substr(start, pos_ - start);
  while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  if (pos_ < text_.size()) {
    if (text_[pos_] == ',')
      ++pos_;
    else if (AtLineEnd())
      ConsumeLineEnd();
  }
  int64_t value = 0;
  if (!ParseNumber(field, lo, hi, &value))
    throw ReadFailure("the value " + Quoted(field) + " does not fit " + type + " (" +
                      std::to_string(lo) + " to " + std::to_string(hi) + ")");
  return value;
}

int32_t FieldReader::ReadInt32() {
  return static_cast<int32_t>(ReadNumber(INT32_MIN, INT32_MAX, "a 32-bit value"));
}
int16_t FieldReader::ReadInt16() {
  return static_cast<int16_t>(ReadNumber(INT16_MIN, INT16_MAX, "a 16-bit value"));
}
uint8_t FieldReader::ReadByte() { return static_cast<uint8_t>(ReadNumber(0, 255, "a byte")); }

bool FieldReader::ParseNumber(std::string_view f, int64_t lo, int64_t hi, int64_t* value) {
  size_t i = 0;
  bool negative = false;
  if (i < f.size() && (f[i] == '+' || f[i] == '-')) {
    negative = f[i] == '-';
    ++i;
  }
  auto digit = [&](size_t k) { return k < f.size() && f[k] >= '0' && f[k] <= '9'; };
  if (!digit(i)) {
    *value = 0;
    return 0 >= lo && 0 <= hi;
  }
  // Magnitudes beyond any target saturate; they fail the range test below.
  constexpr int64_t kCap = int64_t{1} << 40;
  int64_t mag = 0;
  for (; digit(i); ++i) mag = mag >= kCap ? kCap : mag * 10 + (f[i] - '0');
  if (i + 1 < f.size() && f[i] == '.' && digit(i + 1)) {
    ++i;
    int first = f[i] - '0';
    bool rest_nonzero = false;
    for (++i; digit(i); ++i) rest_nonzero |= f[i] != '0';
    if (first > 5 || (first == 5 && (rest_nonzero || (mag & 1) != 0))) ++mag;
  }
  int64_t v = negative ? -mag : mag;
  *value = v;
  return v >= lo && v <= hi;
}

}  // namespace sb
