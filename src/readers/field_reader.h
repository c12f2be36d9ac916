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
#include <vector>

#include "model/diagnostics.h"

namespace sb {

// A number whose field holds more than a number: characters after its numeric prefix
// ("12O", "20km"), a decimal part ("4.500"), or no digit at all ("AC", read as 0).
struct OddNumber {
  size_t index;       // of the field on its line: 1 is the first value after the key
  SourceRef where;
  std::string field;  // source bytes
  int64_t value;      // as read
};

class FieldReader {
 public:
  explicit FieldReader(std::string_view text, SourceFile file = SourceFile::kNone)
      : text_(text), file_(file) {}

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
  // The place of the field last read (its columns, blanks before it left out).
  SourceRef FieldPlace() const { return field_; }
  // The place after the last character of the text.
  SourceRef EndPlace() const;

  // The fields of the line under way: the key (set by StartLine, index 0) and the values
  // read after it, whatever line they stand on.
  void StartLine();
  size_t FieldCount() const { return fields_.size(); }
  SourceRef Field(size_t index) const { return index < fields_.size() ? fields_[index] : SourceRef{}; }
  // The places from field `first` to field `last` (both read) as one.
  SourceRef Fields(size_t first, size_t last) const;
  // The numbers read on the key's own line since StartLine whose fields hold more than a
  // number.
  const std::vector<OddNumber>& OddNumbers() const { return odd_; }

  // The lines no field has been read from yet, from the line after the one under way (or
  // from the next field's line when it starts one); *first_line is the first one's number.
  std::string_view UnreadLines(int32_t* first_line) const;

  // Numeric value of a field: the longest prefix [+-]?digits[.digits], rounded half to
  // even; 0 without leading digits. Returns false when the value exceeds [lo, hi]. *used is
  // the length of the numeric prefix (0 without digits).
  static bool ParseNumber(std::string_view field, int64_t lo, int64_t hi, int64_t* value,
                          size_t* used = nullptr);

 private:
  void StartField();
  void EndField(size_t start, size_t end);
  bool AtLineEnd() const;
  void ConsumeLineEnd();
  int64_t ReadNumber(int64_t lo, int64_t hi, const char* type);

  std::string_view text_;
  SourceFile file_;
  size_t pos_ = 0;
  size_t line_start_ = 0;  // offset of the line on which pos_ stands
  int32_t line_ = 1;
  int32_t field_line_ = 0;
  bool field_starts_line_ = false;
  SourceRef field_;
  std::vector<SourceRef> fields_;
  std::vector<OddNumber> odd_;
};

}  // namespace sb
