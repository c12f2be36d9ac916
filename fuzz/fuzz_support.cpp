#include "fuzz_support.h"

#include "model/rounding.h"

namespace sb::fuzz {

void CheckModel(const Form1& form) {
  static const int kCodes[] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,   10,  11,  12,  13,
                               15, 16, 17, 18, 19, 20, 21, 22, 24, 25, 101, 102, 103};
  bool known = false;
  for (int c : kCodes) known |= form.ErrorCode == c;
  SB_CHECK(known);
  SB_CHECK(form.MountainCount >= 0);
  SB_CHECK(static_cast<size_t>(form.MountainCount) < form.MountainStarts.size());
  SB_CHECK(form.MountainStarts.size() == form.MountainEnds.size());
  if (!form.HasTrack) return;
  SB_CHECK(form.TotalLength >= 7000 && form.TotalLength <= 1007000);
  SB_CHECK(form.CellCount == RoundDiv(form.TotalLength, 50));
  SB_CHECK(form.TrackCells.size() == static_cast<size_t>(form.CellCount) + 1);
  SB_CHECK(form.run.cellSource.size() == form.TrackCells.size());
  if (form.LineDataFlag != 0) {
    SB_CHECK(form.Grid.Exists() && form.Grid.LastPoint() == form.TotalLength);
  } else {
    SB_CHECK(!form.Grid.Exists());
  }
}

}  // namespace sb::fuzz
