#include "authoring/plot_command.h"

#include "authoring/command_line.h"
#include "authoring/plot_svg.h"
#include "compiler/binary_decode.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "scenario/scenario_texts.h"

namespace sb {

const char kPlotHelp[] =
    "usage: scenario-builder plot [DIR] [--scenario NAME] [--train NUMBER] --out FILE.svg\n"
    "\n"
    "Draws, from the binary files NAME_linea.dat, NAME_NUMBER.sim and NAME_NUMBER.dat in\n"
    "DIR (default: the working directory), the plan of the line with its stations and\n"
    "under it the profile along the line: stations, signals, slowdowns, code reductions,\n"
    "speed limit and gradient. The picture is one self-contained SVG file. Without a line\n"
    "data file (compiled with --no-line-data) the plan is left empty.\n"
    "\n"
    "  --scenario NAME  scenario name (default: Torbena-Sarvico-Zeva)\n"
    "  --train NUMBER   train number (default: 47302)\n"
    "  --out FILE.svg   the picture to write\n";

namespace {

bool Load(CommandIo& io, Reporter& report, const std::string& path, std::string* bytes) {
  std::string err;
  if (io.fs->ReadFile(path, bytes, &err)) return true;
  report.Fail("cannot read " + PathToUtf8(path) + ": " + PathToUtf8(err));
  return false;
}

int Malformed(Reporter& report, const std::string& path, const char* what, const std::string& err) {
  return report.Fail(PathToUtf8(path) + ": not a valid " + what + ": " + err);
}

}  // namespace

int PlotCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  ParsedArgs a;
  std::string err;
  if (!ParseArgs(args, {{"--scenario", true}, {"--train", true}, {"--out", true}}, 1, &a, &err))
    return report.WrongUsage(err);
  std::string out = a.Value("--out", "");
  if (out.empty()) return report.WrongUsage("--out FILE.svg is required");
  const std::string scenario = a.Value("--scenario", kBuiltInScenario);
  const std::string train = a.Value("--train", kBuiltInTrain);
  if (!CheckScenarioNames(scenario, train, &err)) return report.WrongUsage(err);

  const ScenarioNaming names{BaseDirectory(a.positional.empty() ? "." : a.positional[0], io.separator),
                             io.separator, scenario, train};
  const std::string track_path = ScenarioFilePath(names, ScenarioFile::kTrack);
  const std::string settings_path = ScenarioFilePath(names, ScenarioFile::kTrainSettings);
  const std::string line_path = ScenarioFilePath(names, ScenarioFile::kLineData);

  PlotInput in;
  in.title = PathToUtf8(scenario) + ", train " + PathToUtf8(train) +
             ": plan and profile";
  std::string bytes;
  if (!Load(io, report, track_path, &bytes)) return kExitFailed;
  if (!DecodeTrack(bytes, &in.cells, &err)) return Malformed(report, track_path, "track file", err);
  if (!Load(io, report, settings_path, &bytes)) return kExitFailed;
  if (!DecodeTrainSettings(bytes, &in.rows, &err))
    return Malformed(report, settings_path, "train settings file", err);
  if (io.fs->Exists(line_path)) {
    if (!Load(io, report, line_path, &bytes)) return kExitFailed;
    if (!DecodeLineData(bytes, &in.line, &err))
      return Malformed(report, line_path, "line data file", err);
  }
  if (!io.fs->ReplaceFile(out, DrawScenarioSvg(in), &err)) {
    return report.Fail("cannot write " + PathToUtf8(out) + ": " + PathToUtf8(err));
  }
  *io.out << PathToUtf8(out) << "\n";
  return kExitOk;
}

}  // namespace sb
