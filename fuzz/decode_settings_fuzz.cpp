// Train settings decoder over any bytes: records of 34 + L bytes, never read past the
// end; a file of 87 records writes back byte for byte.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/binary_decode.h"
#include "compiler/binary_files.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<sb::StationRecord> rows;
  std::string err;
  if (!sb::DecodeTrainSettings(bytes, &rows, &err)) {
    SB_CHECK(!err.empty());
    return 0;
  }
  size_t total = 0;
  for (const sb::StationRecord& r : rows) total += 34 + r.name.size();
  SB_CHECK(total == size);
  if (rows.size() == static_cast<size_t>(sb::kStationRows)) {
    sb::Form1 form;
    for (size_t r = 0; r < rows.size(); ++r) form.StationTable[r] = rows[r];
    SB_CHECK(sb::EncodeTrainSettings(form, "fuzz.sim") == bytes);
  }
  return 0;
}
