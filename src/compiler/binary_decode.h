// Reading back the three binary files, element by element, never past their end.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/form1.h"

namespace sb {

// Track file: records of 15 bytes. Fails when the size is not a multiple of 15.
bool DecodeTrack(std::string_view bytes, std::vector<TrackCell>* cells, std::string* err);
// Train settings file: records of 34 + L bytes. Fails on a record cut short or on bytes
// left after the last complete record.
bool DecodeTrainSettings(std::string_view bytes, std::vector<StationRecord>* rows, std::string* err);
// Line data file: tagged elements of 2, 4 or 10 bytes. Fails on an unknown tag, on an
// element cut short, or on an odd number of elements (x block and y block differ).
bool DecodeLineData(std::string_view bytes, std::vector<Variant>* elements, std::string* err);

}  // namespace sb
