// The field reader over any text: every read moves on or fails cleanly, line numbers
// follow the line ends, and numbers round half to even.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "model/run_errors.h"
#include "readers/field_reader.h"

namespace {

// Value of the prefix [+-]?digits[.digits] of a short field through the C library, when
// it is short enough for a double to hold it exactly; false otherwise.
bool ReferenceNumber(std::string_view f, int64_t* value) {
  size_t i = 0;
  if (i < f.size() && (f[i] == '+' || f[i] == '-')) ++i;
  size_t digits = i;
  while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i;
  if (i == digits) {
    *value = 0;
    return true;
  }
  size_t int_digits = i - digits;
  size_t frac_digits = 0;
  if (i + 1 < f.size() && f[i] == '.' && f[i + 1] >= '0' && f[i + 1] <= '9') {
    ++i;
    while (i < f.size() && f[i] >= '0' && f[i] <= '9') ++i, ++frac_digits;
  }
  if (int_digits > 9 || frac_digits > 6) return false;
  std::string prefix(f.substr(0, i));
  double d = std::strtod(prefix.c_str(), nullptr);
  *value = static_cast<int64_t>(std::nearbyint(d));  // to nearest, ties to even
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using sb::FieldReader;
  if (size == 0) return 0;
  // The first byte picks the kinds of the reads, two bits each, in turn; the rest is the text.
  const uint8_t plan = data[0];
  std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
  FieldReader in(text);
  const int32_t lines = 1 + static_cast<int32_t>(std::count(text.begin(), text.end(), '\n'));
  int32_t last_line = 0;
  size_t reads = 0;
  while (!in.Eof()) {
    SB_CHECK(reads <= text.size());  // every read consumes at least one byte
    int kind = (plan >> (2 * (reads % 4))) & 3;
    ++reads;
    try {
      switch (kind) {
        case 0: {
          std::string f = in.ReadText();
          SB_CHECK(f.find(',') == std::string::npos && f.find('\n') == std::string::npos);
          SB_CHECK(f.empty() || (f[0] != ' ' && f[0] != '\t'));
          int64_t v = 0;
          int64_t ref = 0;
          bool fits = FieldReader::ParseNumber(f, INT32_MIN, INT32_MAX, &v);
          if (fits && ReferenceNumber(f, &ref)) SB_CHECK(v == ref);
          int64_t wide = 0;
          if (FieldReader::ParseNumber(f, INT64_MIN / 2, INT64_MAX / 2, &wide) && fits)
            SB_CHECK(wide == v);
          break;
        }
        case 1: in.ReadInt32(); break;
        case 2: in.ReadInt16(); break;
        case 3: {
          int v = in.ReadByte();
          SB_CHECK(v >= 0 && v <= 255);
          break;
        }
      }
    } catch (const sb::ReadFailure&) {
      // A value outside its type: the field is consumed all the same.
    }
    SB_CHECK(in.FieldLine() >= last_line);
    SB_CHECK(in.FieldLine() <= in.CurrentLine());
    last_line = in.FieldLine();
  }
  SB_CHECK(in.CurrentLine() == lines);
  bool failed = false;
  try {
    in.ReadText();
  } catch (const sb::ReadFailure&) {
    failed = true;
  }
  SB_CHECK(failed);  // reading at the end of the text is a read failure
  return 0;
}
