// The bytes of a line data file in one string, as the compile streams them to the file.
#pragma once

#include <string>
#include <string_view>

#include "compiler/binary_files.h"
#include "model/line_grid.h"

namespace sb::testing {

inline std::string LineDataBytes(const LineGrid& grid) {
  std::string out;
  out.reserve(LineDataSize(grid));
  WriteLineData(grid, [&](std::string_view piece) { out.append(piece); });
  return out;
}

}  // namespace sb::testing
