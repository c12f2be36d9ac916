#include "authoring/view_command.h"

#include <algorithm>
#include <climits>
#include <filesystem>
#include <optional>

#include "authoring/command_line.h"
#include "authoring/diagnostic_format.h"
#include "authoring/line_scene.h"
#include "authoring/plot_svg.h"
#include "authoring/view_page.h"
#include "compiler/binary_decode.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/run_errors.h"
#include "scenario/scenario_texts.h"

namespace sb {

const char kViewHelp[] =
    "usage: scenario-builder view [DIR] [--scenario NAME] [--train NUMBER] --out FILE.html\n"
    "\n"
    "Writes one HTML page that shows the scenario in a browser: the plan of the line and\n"
    "under it the profile, on one position axis. Zoom with the mouse wheel or + and -,\n"
    "move by dragging or with the arrow keys, Home shows the whole line; the box takes a\n"
    "km range (12-15.5), a km (40.2) or a station's name. Layers can be switched off;\n"
    "hovering an item shows its values and the line of the text that placed it, with a\n"
    "link that opens that line in the editor (vscode://). The page needs no network and no\n"
    "other file.\n"
    "\n"
    "The model is compiled in memory from DIR/NAME_linea.txt and DIR/NAME_NUMBER-.txt; no\n"
    "file but the page is written. Without the two texts the page is drawn from the binary\n"
    "files NAME_linea.dat, NAME_NUMBER.sim and NAME_NUMBER.dat (without source lines).\n"
    "Faults and warnings are printed as by 'compile' and drawn in the page.\n"
    "\n"
    "  --scenario NAME  scenario name (default: Torbena-Sarvico-Zeva)\n"
    "  --train NUMBER   train number (default: 47302)\n"
    "  --out FILE.html  the page to write\n"
    "\n"
    "Exit status: 0 no fault; 1 faults recorded, page written all the same; 2 no model\n"
    "could be made or a wrong command line.\n";

namespace {

// The quoted lines of one text that the items, stations and faults of a scene point at.
std::map<int32_t, std::string> LinesOf(FileSystem& fs, const std::string& path, SourceFile file,
                                       const LineScene& scene) {
  std::vector<int32_t> wanted;
  for (const SceneItem& it : scene.items)
    if (it.source.file == file) wanted.push_back(it.source.line);
  for (const SceneStation& st : scene.stations)
    if (st.source.file == file) wanted.push_back(st.source.line);
  for (const SceneFault& f : scene.faults)
    if (f.source.file == file) wanted.push_back(f.source.line);
  std::string text, err;
  if (wanted.empty() || !fs.ReadFile(path, &text, &err)) return {};
  return QuoteLines(text, wanted);
}

std::string Title(const ScenarioNaming& names) {
  return PathToUtf8(names.scenario) + ", train " + PathToUtf8(names.train);
}

bool Load(CommandIo& io, Reporter& report, const std::string& path, std::string* bytes) {
  std::string err;
  if (io.fs->ReadFile(path, bytes, &err)) return true;
  report.Fail("cannot read " + PathToUtf8(path) + ": " + PathToUtf8(err));
  return false;
}

// The model from the three binary files: no sources, no diagnostics.
ViewBuild FromBinaryFiles(CommandIo& io, Reporter& report, const ViewRequest& rq) {
  ViewBuild b;
  const std::string track = ScenarioFilePath(rq.names, ScenarioFile::kTrack);
  const std::string settings = ScenarioFilePath(rq.names, ScenarioFile::kTrainSettings);
  const std::string line = ScenarioFilePath(rq.names, ScenarioFile::kLineData);
  if (!io.fs->Exists(track) || !io.fs->Exists(settings)) {
    report.Fail("found neither the texts " +
                PathToUtf8(ScenarioFilePath(rq.names, ScenarioFile::kRouteSource)) + " and " +
                PathToUtf8(ScenarioFilePath(rq.names, ScenarioFile::kTrainSource)) +
                " nor the binary files " + PathToUtf8(track) + " and " + PathToUtf8(settings));
    return b;
  }
  std::vector<TrackCell> cells;
  std::vector<StationRecord> rows;
  std::vector<Variant> plan;
  std::string bytes, err;
  if (!Load(io, report, track, &bytes)) return b;
  if (!DecodeTrack(bytes, &cells, &err)) {
    report.Fail(PathToUtf8(track) + ": not a valid track file: " + err);
    return b;
  }
  if (!Load(io, report, settings, &bytes)) return b;
  if (!DecodeTrainSettings(bytes, &rows, &err)) {
    report.Fail(PathToUtf8(settings) + ": not a valid train settings file: " + err);
    return b;
  }
  if (io.fs->Exists(line)) {
    if (!Load(io, report, line, &bytes)) return b;
    if (!DecodeLineData(bytes, &plan, &err)) {
      report.Fail(PathToUtf8(line) + ": not a valid line data file: " + err);
      return b;
    }
  }
  SceneInput in{Title(rq.names) + " (from the binary files)", &cells, &rows, &plan};
  const LineScene scene = BuildScene(in);
  if (rq.wantData) b.data = ViewDataJson(scene, ViewSources{}, rq.generation);
  if (rq.wantSvg) b.svg = DrawScenarioSvg(scene);
  b.hasModel = true;
  b.status = kExitOk;
  return b;
}


}  // namespace

std::string AbsolutePathUtf8(const std::string& path) {
  std::error_code ec;
  std::filesystem::path abs = std::filesystem::absolute(std::filesystem::path(path), ec);
  if (ec) return PathToUtf8(path);
  return PathToUtf8(abs.lexically_normal().generic_string());
}

ViewBuild BuildView(CommandIo& io, Reporter& report, const ViewRequest& rq) {
  const std::string route_path = ScenarioFilePath(rq.names, ScenarioFile::kRouteSource);
  const std::string train_path = ScenarioFilePath(rq.names, ScenarioFile::kTrainSource);
  if (!io.fs->Exists(route_path) && !io.fs->Exists(train_path)) return FromBinaryFiles(io, report, rq);

  ViewBuild b;
  b.fromTexts = true;
  Form1 form;
  form.run.fs = io.fs;
  form.run.folder = rq.names.folder;
  form.run.separator = rq.names.separator;
  form.run.deleteSources = false;  // an author's texts stay as they are
  form.ScenarioName = rq.names.scenario;
  form.TrainNumber = rq.names.train;

  std::optional<Diagnostic> fatal;
  std::optional<StampPlaceTaken> stamp;
  const std::string folder = ScenarioFolder(form);
  const std::unique_ptr<FolderLock> lock = io.fs->LockFolder(folder, kRunLockWait);
  if (!lock) {
    fatal.emplace();
    fatal->severity = Severity::kFatal;
    fatal->message = FolderBusyMessage(folder, kRunLockWait);
  }
  int32_t j = 1;
  try {
    if (lock) memorizza_percorso(form, j, rq.files);
  } catch (const CompileStop& e) {
    fatal = NoTrackDiagnostic(e);
  } catch (const StampPlaceTaken& e) {
    stamp = e;
  } catch (const RunFailure& e) {
    fatal = WriteFailureDiagnostic(e, {});
  }
  SourceTexts texts = lock ? LoadSourceTexts(form) : SourceTexts{};
  if (stamp) fatal = StampDiagnostic(form, *stamp, texts);

  const bool wrote = !fatal && (rq.files == BinaryFiles::kWrite ||
                                (rq.files == BinaryFiles::kWriteIfNoFault && !FaultRecorded(form)));
  if (wrote)
    for (ScenarioFile f : {ScenarioFile::kLineData, ScenarioFile::kTrainSettings, ScenarioFile::kTrack})
      b.written.push_back(ScenarioFilePath(form, f));

  std::vector<Diagnostic> faults = FaultDiagnostics(form, texts);
  const std::vector<Diagnostic> shown = ShownDiagnostics(form, texts, faults, fatal);
  for (const Diagnostic& d : shown) report.Report(d);
  const size_t warnings = form.run.diag.WarningCount();
  if (!(rq.quietWhenClean && shown.empty()))
    report.Summary(CompileSummary(form, faults.size(), warnings, fatal.has_value(),
                                  rq.files == BinaryFiles::kNone || !wrote, b.written.size()));

  b.status = fatal ? kExitFailed : form.ErrorCode == 0 ? kExitOk : kExitFaults;
  if (!form.HasTrack) return b;  // nothing to draw

  const std::vector<StationRecord> rows(form.StationTable.begin(), form.StationTable.end());
  SceneInput in{Title(rq.names), &form.TrackCells, &rows, nullptr, &form.Grid,
                &form.run.cellSource, &form.run.diag.faults};
  const LineScene scene = BuildScene(in);
  if (rq.wantData) {
    ViewSources sources;
    sources.routePath = AbsolutePathUtf8(route_path);
    sources.trainPath = AbsolutePathUtf8(train_path);
    sources.routeLines = LinesOf(*io.fs, route_path, SourceFile::kRoute, scene);
    sources.trainLines = LinesOf(*io.fs, train_path, SourceFile::kTrain, scene);
    b.data = ViewDataJson(scene, sources, rq.generation);
  }
  if (rq.wantSvg) b.svg = DrawScenarioSvg(scene);
  b.hasModel = true;
  return b;
}

bool ScenarioOptions(const std::string& dir, const std::string& scenario, const std::string& train,
                     char separator, Reporter& report, ScenarioNaming* names, int* status) {
  std::string err;
  if (!CheckScenarioNames(scenario, train, &err)) {
    *status = report.WrongUsage(err);
    return false;
  }
  *names = ScenarioNaming{BaseDirectory(dir, separator), separator, scenario, train};
  return true;
}

int ViewCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  ParsedArgs a;
  std::string err;
  if (!ParseArgs(args, {{"--scenario", true}, {"--train", true}, {"--out", true}}, 1, &a, &err))
    return report.WrongUsage(err);
  const std::string out = a.Value("--out", "");
  if (out.empty()) return report.WrongUsage("--out FILE.html is required");
  ViewRequest rq;
  int status = kExitFailed;
  if (!ScenarioOptions(a.positional.empty() ? "." : a.positional[0],
                       a.Value("--scenario", kBuiltInScenario), a.Value("--train", kBuiltInTrain),
                       io.separator, report, &rq.names, &status))
    return status;
  const ViewBuild b = BuildView(io, report, rq);
  if (!b.hasModel) return kExitFailed;
  if (!io.fs->ReplaceFile(out, ViewPageHtml(b.data, Title(rq.names), false), &err))
    return report.Fail("cannot write " + PathToUtf8(out) + ": " + PathToUtf8(err));
  *io.out << PathToUtf8(out) << "\n";
  return b.status;
}

}  // namespace sb
