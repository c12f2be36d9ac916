// Field-by-field reading of an 8-bit source text.
//
// A field ends at a comma or at a line end (LF or CR LF); blanks (space, tab) before a
// field are skipped. A text field runs to the next comma or line end and keeps its inner
// and trailing blanks. A numeric field also ends at a blank; blanks after it are passed
// over, and a comma or line end that follows them is consumed with it. Reading a field at
// the end of the text is a read failure.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace sb {

class FieldReader {
 public:
  explicit FieldReader(std::string_view text) : text_(text) {}

  bool Eof() const { return pos_ >= text_.size(); }

  std::string ReadText();
  int32_t ReadInt32();
  int16_t ReadInt16();
  uint8_t ReadByte();  // unsigned

  // Line (1-based) on which the field last read starts.
  int32_t FieldLine() const { return field_line_; }
  // Line on which the next field would start.
  int32_t CurrentLine() const { return line_; }
  // Whether the field last read was the first field of its line.
  bool FieldStartsLine() const { return field_starts_line_; }

  // Numeric value of a field: the longest prefix [+-]?digits[.digits], rounded half to
  // even; 0 without leading digits. Returns false when the value exceeds [lo, hi].
  static bool ParseNumber(std::string_view field, int64_t lo, int64_t hi, int64_t* value);

 private:
  void StartField();
  bool AtLineEnd() const;
  void ConsumeLineEnd();
  int64_t ReadNumber(int64_t lo, int64_t hi, const char* type);

  std::string_view text_;
  size_t pos_ = 0;
  int32_t line_ = 1;
  int32_t field_line_ = 0;
  bool field_starts_line_ = false;
};

}  // namespace sb
