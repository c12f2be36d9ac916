// Track file decoder over any bytes: it accepts whole records only, and what it accepts
// writes back byte for byte.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/binary_decode.h"
#include "compiler/binary_files.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<sb::TrackCell> cells;
  std::string err;
  bool ok = sb::DecodeTrack(bytes, &cells, &err);
  SB_CHECK(ok == (size % 15 == 0));
  if (!ok) {
    SB_CHECK(!err.empty());
    return 0;
  }
  sb::Form1 form;
  form.TrackCells = cells;
  SB_CHECK(sb::EncodeTrack(form) == bytes);
  return 0;
}
