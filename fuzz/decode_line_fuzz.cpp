// Line data decoder over any bytes: tagged elements of 2, 4 or 10 bytes, never read past
// the end; what it accepts writes back byte for byte.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/binary_decode.h"
#include "fuzz_support.h"
#include "line_data_bytes.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::vector<sb::Variant> elements;
  std::string err;
  if (!sb::DecodeLineData(bytes, &elements, &err)) {
    SB_CHECK(!err.empty());
    return 0;
  }
  SB_CHECK(elements.size() % 2 == 0);
  if (elements.empty()) {
    SB_CHECK(size == 0);
    return 0;
  }
  // The x block, then the y block, one element per point.
  sb::LineGrid grid;
  const int32_t points = static_cast<int32_t>(elements.size() / 2);
  grid.Create(points - 1);
  for (int32_t i = 0; i < points; ++i) {
    grid.At(i, 0) = elements[static_cast<size_t>(i)];
    grid.At(i, 1) = elements[static_cast<size_t>(points + i)];
  }
  SB_CHECK(sb::testing::LineDataBytes(grid) == bytes);
  return 0;
}
