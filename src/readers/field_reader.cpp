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
  line_start_ = pos_;
}

SourceRef FieldReader::EndPlace() const {
  // After a final line end, the end of the line before it.
  size_t end = text_.size();
  int32_t line = line_;
  if (end > 0 && text_[end - 1] == '\n' && line > 1) {
    --line;
    --end;
    if (end > 0 && text_[end - 1] == '\r') --end;
  }
  size_t start = text_.rfind('\n', end == 0 ? 0 : end - 1);
  start = start == std::string_view::npos || start >= end ? 0 : start + 1;
  const int32_t column = static_cast<int32_t>(end - start) + 1;
  return SourceRef{file_, line, column, column};
}

void FieldReader::StartField() {
  if (Eof()) throw ReadFailure("the text ends where a field was expected", EndPlace());
  field_starts_line_ = pos_ == 0 || text_[pos_ - 1] == '\n';
  while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  field_line_ = line_;
}

void FieldReader::EndField(size_t start, size_t end) {
  field_ = SourceRef{file_, field_line_, static_cast<int32_t>(start - line_start_) + 1,
                     static_cast<int32_t>(end - line_start_) + 1};
  if (!fields_.empty()) fields_.push_back(field_);
}

void FieldReader::StartLine() {
  fields_.assign(1, field_);
  odd_.clear();
}

SourceRef FieldReader::Fields(size_t first, size_t last) const {
  SourceRef a = Field(first), b = Field(last);
  if (a.line != b.line) return SourceRef{a.file, a.line, a.column, a.column};
  return SourceRef{a.file, a.line, a.column, b.endColumn};
}

std::string_view FieldReader::UnreadLines(int32_t* first_line) const {
  if (pos_ == line_start_) {
    *first_line = line_;
    return text_.substr(pos_);
  }
  *first_line = line_ + 1;
  size_t nl = text_.find('\n', pos_);
  return nl == std::string_view::npos ? std::string_view() : text_.substr(nl + 1);
}

std::string FieldReader::ReadText() {
  StartField();
  size_t start = pos_;
  while (pos_ < text_.size() && text_[pos_] != ',' && !AtLineEnd()) ++pos_;
  size_t end = pos_;
  while (end > start && IsBlank(text_[end - 1])) --end;
  EndField(start, end);
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
  EndField(start, pos_);
  while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
  if (pos_ < text_.size()) {
    if (text_[pos_] == ',')
      ++pos_;
    else if (AtLineEnd())
      ConsumeLineEnd();
  }
  int64_t value = 0;
  size_t used = 0;
  if (!ParseNumber(field, lo, hi, &value, &used))
    throw ReadFailure("the value " + Quoted(field) + " does not fit " + type + " (" +
                      std::to_string(lo) + " to " + std::to_string(hi) + ")",
                      field_);
  const bool whole = used == field.size() && field.find('.') == std::string_view::npos;
  if (!whole && !fields_.empty() && field_.line == fields_[0].line)
    odd_.push_back(OddNumber{fields_.size() - 1, field_, std::string(field), value});
  return value;
}

int32_t FieldReader::ReadInt32() {
  return static_cast<int32_t>(ReadNumber(INT32_MIN, INT32_MAX, "a 32-bit value"));
}
int16_t FieldReader::ReadInt16() {
  return static_cast<int16_t>(ReadNumber(INT16_MIN, INT16_MAX, "a 16-bit value"));
}
uint8_t FieldReader::ReadByte() { return static_cast<uint8_t>(ReadNumber(0, 255, "a byte")); }

bool FieldReader::ParseNumber(std::string_view f, int64_t lo, int64_t hi, int64_t* value,
                              size_t* used) {
  size_t i = 0;
  bool negative = false;
  if (i < f.size() && (f[i] == '+' || f[i] == '-')) {
    negative = f[i] == '-';
    ++i;
  }
  auto digit = [&](size_t k) { return k < f.size() && f[k] >= '0' && f[k] <= '9'; };
  if (!digit(i)) {
    *value = 0;
    if (used) *used = 0;
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
  if (used) *used = i;
  return v >= lo && v <= hi;
}

}  // namespace sb
