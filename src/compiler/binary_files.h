// The three binary files of the simulator: plain little-endian concatenations of the
// model's records, without header or padding.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "model/form1.h"

namespace sb {

// Line data: 2 x (TotalLength + 1) tagged elements, all x values then all y values, handed
// to `sink` in order, piece by piece, from the plan of the line.
void WriteLineData(const LineGrid& grid, const std::function<void(std::string_view)>& sink);
// The size of the line data file in bytes.
size_t LineDataSize(const LineGrid& grid);
// Train settings: 87 records of 34 + L bytes. Throws RunFailure for a name over 65,535 bytes.
std::string EncodeTrainSettings(const Form1& form, const std::string& path);
// Track: CellCount + 1 records of 15 bytes.
std::string EncodeTrack(const Form1& form);

}  // namespace sb
