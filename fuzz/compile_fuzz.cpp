// A whole compile in memory from one input: the route text, a form feed, the train text.
// The binary files it writes must read back to the model they came from.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "compiler/binary_decode.h"
#include "compiler/binary_files.h"
#include "compiler/compile.h"
#include "fuzz_support.h"
#include "model/run_errors.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using sb::ScenarioFile;
  std::string_view route, train;
  sb::fuzz::Folder s;
  bool has_train =
      sb::fuzz::SplitTexts(std::string_view(reinterpret_cast<const char*>(data), size), &route, &train);
  s.Put(ScenarioFile::kRouteSource, route);
  if (has_train) s.Put(ScenarioFile::kTrainSource, train);
  int32_t j = 1;
  bool completed = false;
  try {
    sb::memorizza_percorso(s.form, j);
    completed = true;
  } catch (const sb::CompileStop&) {
    SB_CHECK(!s.form.HasTrack);
  } catch (const sb::StampPlaceTaken&) {
  } catch (const sb::RunFailure&) {
  }
  sb::fuzz::CheckModel(s.form);
  SB_CHECK(!s.Has(ScenarioFile::kRouteSource));
  const ScenarioFile outputs[] = {ScenarioFile::kLineData, ScenarioFile::kTrainSettings,
                                  ScenarioFile::kTrack};
  if (!completed) {
    for (ScenarioFile f : outputs) SB_CHECK(!s.Has(f));  // none unless all
    return 0;
  }
  for (ScenarioFile f : outputs) SB_CHECK(s.Has(f));
  const auto& files = s.fs.files();
  std::string err;

  std::vector<sb::TrackCell> cells;
  const std::string& track = files.at(s.Path(ScenarioFile::kTrack));
  SB_CHECK(sb::DecodeTrack(track, &cells, &err));
  SB_CHECK(cells.size() == s.form.TrackCells.size());
  SB_CHECK(track == sb::EncodeTrack(s.form));

  std::vector<sb::StationRecord> rows;
  const std::string& sim = files.at(s.Path(ScenarioFile::kTrainSettings));
  SB_CHECK(sb::DecodeTrainSettings(sim, &rows, &err));
  SB_CHECK(rows.size() == static_cast<size_t>(sb::kStationRows));
  for (size_t r = 0; r < rows.size(); ++r) SB_CHECK(rows[r].name == s.form.StationTable[r].name);

  std::vector<sb::Variant> points;
  const std::string& line = files.at(s.Path(ScenarioFile::kLineData));
  SB_CHECK(sb::DecodeLineData(line, &points, &err));
  SB_CHECK(points.size() == 2 * (static_cast<size_t>(s.form.Grid.LastPoint()) + 1));
  return 0;
}
