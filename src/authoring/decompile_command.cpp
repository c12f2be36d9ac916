#include "authoring/decompile_command.h"

#include "authoring/command_line.h"
#include "authoring/decompile.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "scenario/scenario_texts.h"

namespace sb {

const char kDecompileHelp[] =
    "usage: scenario-builder decompile [DIR] [--scenario NAME] [--train NUMBER]\n"
    "                                  [--out DIR2] [--force]\n"
    "\n"
    "Reads the binary files NAME_NUMBER.dat, NAME_NUMBER.sim and, when there is one,\n"
    "NAME_linea.dat in DIR (default: the working directory) and writes into DIR2\n"
    "(default: DIR) the route text NAME_linea.txt and the train text NAME_NUMBER-.txt:\n"
    "texts that 'compile' turns back into the same files, byte for byte. The texts are\n"
    "compiled in memory and compared with the files; when no text can rebuild them (a\n"
    "file edited by hand, or not made by this compiler), every cell, row or run of points\n"
    "that differs is listed and the closest texts are written.\n"
    "\n"
    "  --scenario NAME  scenario name (default: Torbena-Sarvico-Zeva)\n"
    "  --train NUMBER   train number (default: 47302)\n"
    "  --out DIR2       folder of the texts (made when missing)\n"
    "  --force          replace texts that already exist\n"
    "\n"
    "Exit status: 0 the texts rebuild the files byte for byte; 1 they do not (the texts\n"
    "are written all the same); 2 a file cannot be read, decoded or written, or a wrong\n"
    "command line.\n";

int DecompileCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  ParsedArgs a;
  std::string err;
  if (!ParseArgs(args, {{"--scenario", true}, {"--train", true}, {"--out", true}, {"--force", false}}, 1, &a,
                 &err))
    return report.WrongUsage(err);
  const std::string scenario = a.Value("--scenario", kBuiltInScenario);
  const std::string train = a.Value("--train", kBuiltInTrain);
  if (!CheckScenarioNames(scenario, train, &err)) return report.WrongUsage(err);
  const std::string dir = BaseDirectory(a.positional.empty() ? "." : a.positional[0], io.separator);
  const ScenarioNaming in{dir, io.separator, scenario, train};
  const ScenarioNaming out{a.values.count("--out") ? BaseDirectory(a.Value("--out", "."), io.separator) : dir,
                           io.separator, scenario, train};

  const std::string route_path = ScenarioFilePath(out, ScenarioFile::kRouteSource);
  const std::string train_path = ScenarioFilePath(out, ScenarioFile::kTrainSource);
  if (!a.Has("--force")) {
    bool taken = false;
    for (const std::string& p : {route_path, train_path})
      if (io.fs->Exists(p)) {
        report.Fail(PathToUtf8(p) + " already exists; not replaced (--force replaces it)");
        taken = true;
      }
    if (taken) return kExitFailed;
  }

  // The files are read, and the texts written, while no run is at work in their folder (a
  // default run replaces the binary files and deletes its texts).
  auto lock = [&](const ScenarioNaming& names) {
    const std::string folder = ScenarioFolder(names);
    std::unique_ptr<FolderLock> l = io.fs->LockFolder(folder, kRunLockWait);
    if (!l) report.Fail(FolderBusyMessage(folder, kRunLockWait));
    return l;
  };
  ScenarioBinaries files;
  std::unique_ptr<FolderLock> held = lock(in);
  if (!held) return kExitFailed;
  auto load = [&](ScenarioFile f, std::string* bytes) {
    const std::string path = ScenarioFilePath(in, f);
    if (io.fs->ReadFile(path, bytes, &err)) return true;
    report.Fail("cannot read " + PathToUtf8(path) + ": " + PathToUtf8(err));
    return false;
  };
  if (!load(ScenarioFile::kTrack, &files.track) || !load(ScenarioFile::kTrainSettings, &files.settings))
    return kExitFailed;
  if (io.fs->Exists(ScenarioFilePath(in, ScenarioFile::kLineData))) {
    files.lineData.emplace();
    if (!load(ScenarioFile::kLineData, &*files.lineData)) return kExitFailed;
  }

  Decompiled texts;
  if (!Decompile(files, scenario, train, &texts, &err))
    return report.Fail("the binary files cannot be decoded: " + err);

  held.reset();

  if (!io.fs->MakeFolders(out.folder, &err)) return report.Fail("cannot make the folder " + PathToUtf8(err));
  held = lock(out);
  if (!held) return kExitFailed;
  for (const auto& [path, lines] : {std::pair{route_path, &texts.routeLines}, std::pair{train_path, &texts.trainLines}}) {
    if (!io.fs->ReplaceFile(path, TextBytes(*lines), &err))
      return report.Fail("cannot write " + PathToUtf8(path) + ": " + PathToUtf8(err));
    *io.out << PathToUtf8(path) << "\n";
  }
  io.out->flush();
  held.reset();

  if (texts.storedScenario != scenario || texts.storedTrain != train) {
    Diagnostic d;
    d.severity = Severity::kNote;
    d.message = "the files name scenario '" + texts.storedScenario + "' and train '" + texts.storedTrain +
                "' in rows 85 and 86, not the names given: those names and the scenario codes made from "
                "them differ";
    report.Report(d);
  }
  for (const std::string& f : texts.compileFaults) {
    Diagnostic d;
    d.severity = Severity::kNote;
    d.message = f;
    report.Report(d);
  }
  size_t differing_files = 0;
  ScenarioFile last = ScenarioFile::kRouteSource;
  for (const FileDifference& d : texts.differences) {
    if (d.file != last) ++differing_files;
    last = d.file;
    Diagnostic w;
    w.severity = Severity::kWarning;
    w.where.file = PathToUtf8(ScenarioFilePath(in, d.file));
    w.message = d.what;
    report.Report(w);
  }
  const size_t total = files.lineData ? 3 : 2;
  if (texts.differences.empty()) {
    report.Summary("the texts compile to the " + std::to_string(total) + " binary files byte for byte");
    return kExitOk;
  }
  const size_t n = texts.differences.size();
  report.Summary("the texts do not rebuild the binary files: " + std::to_string(n) +
                 (n == 1 ? " difference in " : " differences in ") + std::to_string(differing_files) + " of the " +
                 std::to_string(total) + " files; the closest texts are written");
  return kExitFaults;
}

}  // namespace sb
