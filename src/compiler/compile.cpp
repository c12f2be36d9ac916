#include "compiler/compile.h"

#include "compiler/binary_files.h"
#include "compiler/cell_pass.h"
#include "compiler/scenario_codes.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "model/run_errors.h"
#include "readers/source_reader.h"

namespace sb {
namespace {

std::string NoTrackReason(const Form1& form) {
  switch (form.ErrorCode) {
    case 101: return "the route text " + ScenarioFilePath(form, ScenarioFile::kRouteSource) + " does not exist (fault 101)";
    case 102: return "the route text has no line \"[generale]\" (fault 102)";
    case 1: return "the route length is outside 0 to 1,000,000 m (fault 1)";
    case 25: return "the route text could not be read up to its route length (fault 25)";
    default: return "the general section of the route text gives no route length (\"lunghezza percorso\")";
  }
}

}  // namespace

void errore(const std::string& a) { throw StampPlaceTaken(a); }

bool FaultRecorded(const Form1& form) { return form.ErrorCode != 0 || !form.run.diag.faults.empty(); }

void memorizza_percorso(Form1& form, int32_t& j, BinaryFiles files) {
  form.LineDataFlag = j;
  form.ErrorCode = 0;
  form.run.diag.Clear();
  form.HasTrack = false;
  form.TrackCells.clear();
  form.run.cellSource.clear();
  form.Grid.Clear();
  for (StationRecord& r : form.StationTable) r = StationRecord();
  memorizza_dati(form);
  if (!form.HasTrack)
    throw CompileStop("no track to compile: " + NoTrackReason(form) + "; no binary file is written");

  RunCellPass(form);

  StationRecord& row85 = form.StationTable[kRowLine];
  TrackCell& cell1 = form.TrackCells[1];
  if (row85.stationValue1 != 0 || cell1.value1 != 0) errore("1250");
  row85.stationValue1 = 610;
  cell1.value1 = 5121;
  if (row85.timetableSeconds != 0 || cell1.value2 != 0) errore("1251");
  row85.timetableSeconds = codice_gara_st(form);
  cell1.value2 = static_cast<int16_t>(codice_gara_og(form));

  // The line data file, whose encoding cannot fail, is encoded from the plan of the line
  // while it is written; the other two are built first.
  std::string sim_path = ScenarioFilePath(form, ScenarioFile::kTrainSettings);
  const std::string sim = EncodeTrainSettings(form, sim_path);
  const std::string track = EncodeTrack(form);

  if (files == BinaryFiles::kNone) return;
  if (files == BinaryFiles::kWriteIfNoFault && FaultRecorded(form)) return;
  if (files == BinaryFiles::kWriteIfClean && (FaultRecorded(form) || form.run.diag.WarningCount() > 0))
    return;
  std::vector<FileToWrite> unit;
  if (form.LineDataFlag != 0) {
    unit.push_back({ScenarioFilePath(form, ScenarioFile::kLineData), LineDataSize(form.Grid),
                    [&](const ByteSink& sink) { WriteLineData(form.Grid, sink); }});
  }
  unit.push_back(BytesToWrite(std::move(sim_path), sim));
  unit.push_back(BytesToWrite(ScenarioFilePath(form, ScenarioFile::kTrack), track));
  ReplaceError error;
  if (!form.run.fs->ReplaceFiles(unit, &error)) throw RunFailure(error.path, error.reason);
}

}  // namespace sb
