#include "compiler/compile.h"

#include "compiler/binary_files.h"
#include "compiler/cell_pass.h"
#include "compiler/scenario_codes.h"
#include "driver/file_names.h"
#include "driver/file_system.h"
#include "model/run_errors.h"
#include "readers/source_reader.h"

namespace sb {
namespace {

std::string NoTrackReason(const Form1& form) {
  switch (form.ErrorCode) {
    case 101: return "the route text " + PercorsoFile(form, ScenarioFile::kRouteSource) + " does not exist (fault 101)";
    case 102: return "the route text has no line \"[generale]\" (fault 102)";
    case 1: return "the route length is outside 0 to 1,000,000 m (fault 1)";
    case 25: return "the route text could not be read up to its route length (fault 25)";
    default: return "the general section of the route text gives no route length (\"lunghezza percorso\")";
  }
}

}  // namespace

void errore(const std::string& a) { throw ErroreStop(a); }

CompileOutput memorizza_percorso(Form1& form, int32_t& j, bool write_files) {
  form.LineDataFlag = j;
  form.ErrorCode = 0;
  form.diag.Clear();
  form.HasTrack = false;
  form.TrackCells.clear();
  form.CellSource.clear();
  form.Grid.Clear();
  for (StationRecord& r : form.StationTable) r = StationRecord();
  memorizza_dati(form);
  if (!form.HasTrack)
    throw CompileStop("no track to compile: " + NoTrackReason(form) + "; no binary file is written");

  PassoCelle(form);

  StationRecord& row85 = form.StationTable[kRowLine];
  TrackCell& cell1 = form.TrackCells[1];
  if (row85.stationValue1 != 0 || cell1.value1 != 0) errore("1250");
  row85.stationValue1 = 610;
  cell1.value1 = 5121;
  if (row85.timetableSeconds != 0 || cell1.value2 != 0) errore("1251");
  row85.timetableSeconds = codice_gara_st(form);
  cell1.value2 = static_cast<int16_t>(codice_gara_og(form));

  // Every file is built before any is replaced, so that none is written unless all can be.
  // The line data file, whose encoding cannot fail, is encoded from the plan of the line
  // while it is written.
  struct Out { std::string path, bytes; };
  std::vector<Out> files;
  std::string sim = PercorsoFile(form, ScenarioFile::kTrainSettings);
  files.push_back({sim, FileImpostazioni(form, sim)});
  files.push_back({PercorsoFile(form, ScenarioFile::kTrack), FileTracciato(form)});

  CompileOutput out;
  if (!write_files) return out;
  std::string err;
  if (form.LineDataFlag != 0) {
    std::string path = PercorsoFile(form, ScenarioFile::kLineData);
    auto encode = [&](const FileSystem::ByteSink& sink) { WriteLinea(form.Grid, sink); };
    if (!form.fs->ReplaceFileWith(path, LineaSize(form.Grid), encode, &err))
      throw RunFailure(path, err);
    out.written.push_back(path);
  }
  for (const Out& f : files) {
    if (!form.fs->ReplaceFile(f.path, f.bytes, &err)) throw RunFailure(f.path, err);
    out.written.push_back(f.path);
  }
  return out;
}

}  // namespace sb
