#include "model/form1.h"

#include "model/rounding.h"
#include "model/run_errors.h"

namespace sb {

TrackCell& Form1::Cell(int64_t index) {
  if (!HasTrack || index < 0 || index > CellCount)
    throw ReadFailure("cell " + std::to_string(index) + " lies outside the track (cells 0 to " +
                      std::to_string(CellCount) + ")");
  return TrackCells[static_cast<size_t>(index)];
}

void Form1::CreateTrack(int32_t route_length) {
  TotalLength = route_length + 7000;
  CellCount = static_cast<int32_t>(RoundDiv(TotalLength, 50));
  TrackCells.assign(static_cast<size_t>(CellCount) + 1, TrackCell());
  run.cellSource.assign(static_cast<size_t>(CellCount) + 1, SourceRef());
  HasTrack = true;
  if (LineDataFlag != 0)
    Grid.Create(TotalLength);
  else
    Grid.Clear();
}

}  // namespace sb
