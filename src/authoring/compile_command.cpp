#include "authoring/compile_command.h"

#include <algorithm>
#include <climits>
#include <optional>

#include "authoring/command_line.h"
#include "authoring/diagnostic_format.h"
#include "authoring/json_output.h"
#include "compiler/compile.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/run_errors.h"
#include "scenario/scenario_texts.h"

namespace sb {

const char kCompileHelp[] =
    "usage: scenario-builder compile [DIR] [--scenario NAME] [--train NUMBER]\n"
    "                                [--no-line-data] [--check] [--strict] [--json]\n"
    "\n"
    "Compiles the route text DIR/NAME_linea.txt and the train text DIR/NAME_NUMBER-.txt\n"
    "into the binary files NAME_linea.dat, NAME_NUMBER.sim and NAME_NUMBER.dat in DIR.\n"
    "The texts are never deleted or changed.\n"
    "\n"
    "  DIR              folder of the texts and of the binary files (default: the\n"
    "                   working directory)\n"
    "  --scenario NAME  scenario name (default: Torbena-Sarvico-Zeva)\n"
    "  --train NUMBER   train number (default: 47302)\n"
    "  --no-line-data   no line data file; curve lines are not read\n"
    "  --check          read and check everything, write no file\n"
    "  --strict         count warnings as faults; write no binary file after either\n"
    "  --json           print one JSON object with the result on standard output\n"
    "\n"
    "Faults and warnings go to standard error as FILE:LINE:COLUMN: error: MESSAGE\n"
    "[fault CODE] (or warning:), each followed by the line of the text with the field\n"
    "at fault marked, then its notes and help. 'scenario-builder explain CODE' tells\n"
    "more about a fault; docs/format.md is the manual of the two texts.\n"
    "\n"
    "Exit status: 0 no fault; 1 faults recorded, binary files written all the same\n"
    "(with --strict: faults or warnings, no file written); 2 the compile could not\n"
    "complete (no file written) or a wrong command line.\n";

namespace {

// Passes everything through and notes each file replaced; deletes nothing.
class WriteLog : public FileSystem {
 public:
  explicit WriteLog(FileSystem& inner) : inner_(inner) {}
  bool Exists(const std::string& path) override { return inner_.Exists(path); }
  bool ReadFile(const std::string& path, std::string* contents, std::string* err) override {
    return inner_.ReadFile(path, contents, err);
  }
  bool ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError* error) override {
    if (inner_.ReplaceFiles(files, error)) {
      for (const FileToWrite& f : files) replaced.push_back(f.path);
      return true;
    }
    replaced.insert(replaced.end(), error->left_new.begin(), error->left_new.end());
    return false;
  }
  bool RemoveFile(const std::string& path, std::string* err) override {
    *err = "the compile command deletes no file (" + path + ")";
    return false;
  }
  bool MakeFolders(const std::string& path, std::string* err) override {
    return inner_.MakeFolders(path, err);
  }
  std::unique_ptr<FolderLock> LockFolder(const std::string& dir,
                                         std::chrono::milliseconds wait) override {
    return inner_.LockFolder(dir, wait);
  }
  bool ListFiles(const std::string& dir, std::vector<std::string>* names,
                 std::string* err) override {
    return inner_.ListFiles(dir, names, err);
  }

  std::vector<std::string> replaced;

 private:
  FileSystem& inner_;
};


// File, line and columns of a place, null where it has none.
void PutPlace(Json& j, const DiagnosticPlace& p) {
  j["file"] = p.file.empty() ? Json(nullptr) : Json(p.file);
  j["line"] = OrNull(p.line);
  j["column"] = p.column > 0 ? Json(p.column) : Json(nullptr);
  j["endColumn"] = p.column > 0 ? Json(p.end_column) : Json(nullptr);
}

// The place, message, notes, help and fix of a diagnostic.
void PutDiagnostic(Json& j, const Diagnostic& d) {
  PutPlace(j, d.where);
  j["message"] = d.message;
  Json notes = Json::array();
  for (const DiagnosticNoteLine& n : d.notes) {
    Json note;
    PutPlace(note, n.where);
    note["message"] = n.message;
    notes.push_back(std::move(note));
  }
  j["notes"] = std::move(notes);
  j["help"] = d.help.empty() ? Json(nullptr) : Json(d.help);
  if (d.fix) {
    Json fix;
    PutPlace(fix, d.fix->where);
    fix["text"] = d.fix->text;
    fix["title"] = d.fix->title;
    j["fix"] = std::move(fix);
  } else {
    j["fix"] = nullptr;
  }
}

std::string JsonReport(const Form1& form, const std::optional<Diagnostic>& fatal,
                       const std::vector<Diagnostic>& faults,
                       const std::vector<Diagnostic>& warnings,
                       const std::vector<std::string>& written, bool strict) {
  Json doc;
  doc["errorCode"] = form.ErrorCode;
  doc["errorPosition"] = form.ErrorPosition;
  doc["fatal"] = fatal ? Json(fatal->message) : Json(nullptr);
  if (fatal) {
    Json detail;
    PutDiagnostic(detail, *fatal);
    doc["fatalDetail"] = std::move(detail);
  }
  doc["strict"] = strict;
  Json fault_list = Json::array();
  for (const Diagnostic& d : faults) {
    Json f;
    f["code"] = d.code.value_or(0);
    f["position"] = OrNull(d.position);
    PutDiagnostic(f, d);
    fault_list.push_back(std::move(f));
  }
  doc["faults"] = std::move(fault_list);
  Json warning_list = Json::array();
  for (const Diagnostic& d : warnings) {
    Json w;
    PutDiagnostic(w, d);
    warning_list.push_back(std::move(w));
  }
  doc["warnings"] = std::move(warning_list);
  // Only when a text had more warnings than are kept: how many of each were left out.
  const auto& left_out = form.run.diag.warningsLeftOut;
  const size_t route = left_out[static_cast<size_t>(SourceFile::kRoute)];
  const size_t train = left_out[static_cast<size_t>(SourceFile::kTrain)];
  if (route + train > 0) doc["warningsLeftOut"] = Json{{"route", route}, {"train", train}};
  Json files = Json::array();
  for (const std::string& f : written) files.push_back(PathToUtf8(f));
  doc["files"] = std::move(files);
  return JsonDocument(doc);
}

bool EndsWith(const std::string& s, std::string_view end) {
  return s.size() >= end.size() && s.compare(s.size() - end.size(), end.size(), end) == 0;
}

// For a text that is not there: what the folder holds instead, as notes (the texts of that
// kind, with the option that names each), and how to start one.
void NoteMissingText(Diagnostic& d, FileSystem& fs, const Form1& form, bool route) {
  const std::string folder = ScenarioFolder(form);
  const std::string shown = PathToUtf8(folder.empty() ? std::string(".") : folder);
  std::vector<std::string> names;
  std::string err;
  if (!fs.ListFiles(folder, &names, &err)) {
    d.notes.push_back({{}, "the folder " + shown + " cannot be read: " + PathToUtf8(err)});
  } else {
    const std::string prefix = form.ScenarioName + "_";
    std::string found;
    size_t count = 0;
    for (const std::string& n : names) {
      std::string option;
      if (route && EndsWith(n, "_linea.txt"))
        option = "--scenario " + n.substr(0, n.size() - 10);
      else if (!route && EndsWith(n, "-.txt") && n.compare(0, prefix.size(), prefix) == 0 &&
               n.size() > prefix.size() + 5)
        option = "--train " + n.substr(prefix.size(), n.size() - prefix.size() - 5);
      if (option.empty()) continue;
      if (count++ < 10) found += std::string(found.empty() ? "" : ", ") + PathToUtf8(n) + " (" + PathToUtf8(option) + ")";
    }
    if (count > 10) found += ", and " + std::to_string(count - 10) + " more";
    const std::string kind = route ? "route texts" : "train texts of the scenario " + form.ScenarioName;
    d.notes.push_back({{}, count == 0 ? "the folder " + shown + " holds no " + kind
                                      : "the " + kind + " in " + shown + ": " + found});
  }
  d.help = "'scenario-builder sources " + shown + " --scenario " + form.ScenarioName +
             " --train " + form.TrainNumber + "' writes a route text and a train text under these names";
}

}  // namespace

int CompileCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  ParsedArgs a;
  std::string err;
  if (!ParseArgs(args,
                 {{"--scenario", true}, {"--train", true}, {"--no-line-data", false},
                  {"--check", false}, {"--json", false}, {"--strict", false}},
                 1, &a, &err))
    return report.WrongUsage(err);
  if (!CheckScenarioNames(a.Value("--scenario", kBuiltInScenario),
                          a.Value("--train", kBuiltInTrain), &err))
    return report.WrongUsage(err);
  const bool check = a.Has("--check");
  const bool strict = a.Has("--strict");

  WriteLog log(*io.fs);
  Form1 form;
  form.run.fs = &log;
  form.run.folder = BaseDirectory(a.positional.empty() ? "." : a.positional[0], io.separator);
  form.run.separator = io.separator;
  form.run.deleteSources = false;  // an author's texts stay as they are
  form.ScenarioName = a.Value("--scenario", kBuiltInScenario);
  form.TrainNumber = a.Value("--train", kBuiltInTrain);

  // The run lock of the folder, taken to check as well: a default run there deletes its texts.
  std::optional<Diagnostic> fatal;
  std::optional<StampPlaceTaken> stamp;
  const std::string folder = ScenarioFolder(form);
  const std::unique_ptr<FolderLock> lock = log.LockFolder(folder, kRunLockWait);
  if (!lock) {
    fatal.emplace();
    fatal->severity = Severity::kFatal;
    fatal->message = FolderBusyMessage(folder, kRunLockWait);
  }

  int32_t j = a.Has("--no-line-data") ? 0 : 1;
  try {
    if (lock) memorizza_percorso(form, j, check    ? BinaryFiles::kNone
                                          : strict ? BinaryFiles::kWriteIfClean
                                                   : BinaryFiles::kWrite);
  } catch (const CompileStop& e) {
    fatal = NoTrackDiagnostic(e);
    fatal->where.file = PathToUtf8(ScenarioFilePath(form, ScenarioFile::kRouteSource));
  } catch (const StampPlaceTaken& e) {
    stamp = e;
  } catch (const RunFailure& e) {
    fatal = WriteFailureDiagnostic(e, log.replaced);
  }
  // The quoted lines are read back once the reader has let its copy of the texts go.
  SourceTexts texts = lock ? LoadSourceTexts(form) : SourceTexts{};
  if (stamp) fatal = StampDiagnostic(form, *stamp, texts);

  std::vector<Diagnostic> faults = FaultDiagnostics(form, texts);
  // A text that is not there: what the folder holds instead.
  const std::string route_path = ScenarioFilePath(form, ScenarioFile::kRouteSource);
  const std::string train_path = ScenarioFilePath(form, ScenarioFile::kTrainSource);
  if (lock && fatal && !stamp && !log.Exists(route_path)) {
    fatal->where.file = PathToUtf8(route_path);
    NoteMissingText(*fatal, log, form, true);
  } else if (lock && !log.Exists(train_path)) {
    for (Diagnostic& d : faults)
      if (d.where.file == PathToUtf8(train_path) && !d.where.line) NoteMissingText(d, log, form, false);
  }
  const std::vector<Diagnostic> shown = ShownDiagnostics(form, texts, faults, fatal);
  for (const Diagnostic& d : shown) report.Report(d);
  report.Summary(CompileSummary(form, faults.size(), form.run.diag.WarningCount(),
                                fatal.has_value(), check, log.replaced.size(), strict));

  if (a.Has("--json")) {
    *io.out << JsonReport(form, fatal, faults, WarningDiagnostics(form, texts), log.replaced, strict);
  } else {
    for (const std::string& f : log.replaced) *io.out << PathToUtf8(f) << "\n";
  }
  io.out->flush();
  if (fatal) return kExitFailed;
  if (strict && (!faults.empty() || form.run.diag.WarningCount() > 0)) return kExitFaults;
  return form.ErrorCode == 0 ? kExitOk : kExitFaults;
}

}  // namespace sb
