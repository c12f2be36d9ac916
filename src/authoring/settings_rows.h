// What the rows of a train settings file mean: stations from row 1 up, indication board
// texts from row 80 down, settings in rows 81 to 86.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "model/form1.h"

namespace sb {

enum class RowUse { kCleared, kStation, kBoardText, kKmReference, kTrain, kLine, kSignals, kOther };

// A row that only holds a text is a board text (a station always has an extent).
RowUse UseOfRow(const std::vector<StationRecord>& rows, size_t row);

// One line in words, texts as stored (Windows-1252).
std::string DescribeRow(const std::vector<StationRecord>& rows, size_t row);

}  // namespace sb
