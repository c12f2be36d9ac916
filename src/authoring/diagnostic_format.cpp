#include "authoring/diagnostic_format.h"

#include <set>
#include <string_view>

#include "compiler/compile.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/faults.h"
#include "model/run_errors.h"

namespace sb {
namespace {

// A line as quoted under its diagnostic, in UTF-8; a line of megabytes is quoted by its start.
std::string QuotedLine(std::string_view line) {
  constexpr size_t kShown = 200;
  if (line.size() <= kShown) return Cp1252ToUtf8(line);
  return Cp1252ToUtf8(line.substr(0, kShown)) + "... (" + std::to_string(line.size()) + " bytes)";
}

// The wanted lines of a text, in one pass. Lines end at LF, as the field reader counts
// them; a CR before the LF is dropped.
std::map<int32_t, std::string> PickLines(std::string_view text, const std::set<int32_t>& wanted) {
  std::map<int32_t, std::string> out;
  size_t start = 0;  // of line `line`
  int32_t line = 1;
  for (int32_t want : wanted) {
    if (want < 1) continue;
    while (line < want && start < text.size()) {
      size_t lf = text.find('\n', start);
      start = lf == std::string_view::npos ? text.size() : lf + 1;
      ++line;
    }
    if (start >= text.size()) break;
    size_t lf = text.find('\n', start);
    size_t end = lf == std::string_view::npos ? text.size() : lf;
    size_t len = end - start;
    if (len > 0 && text[end - 1] == '\r') --len;
    out.emplace(want, QuotedLine(text.substr(start, len)));
  }
  return out;
}

const std::string& PathOf(const SourceTexts& t, SourceFile f) {
  static const std::string kNone;
  return f == SourceFile::kRoute ? t.route_path : f == SourceFile::kTrain ? t.train_path : kNone;
}

std::string LineOf(const SourceTexts& t, SourceFile f, int32_t line) {
  const std::map<int32_t, std::string>* lines =
      f == SourceFile::kRoute ? &t.route_lines : f == SourceFile::kTrain ? &t.train_lines : nullptr;
  if (lines == nullptr) return "";
  auto it = lines->find(line);
  return it == lines->end() ? std::string() : it->second;
}

// File, line and quoted line of a source reference.
void Locate(Diagnostic* d, const SourceTexts& t, SourceRef where) {
  d->file = PathToUtf8(PathOf(t, where.file));
  if (where.file != SourceFile::kNone && where.line > 0) {
    d->line = where.line;
    d->source_line = LineOf(t, where.file, where.line);
  }
}

}  // namespace

SourceTexts LoadSourceTexts(Form1& form) {
  std::set<int32_t> wanted[3];  // by SourceFile
  auto want = [&](SourceRef r) { wanted[static_cast<size_t>(r.file)].insert(r.line); };
  for (const FaultRecord& f : form.run.diag.faults)
    if (!f.cell) want(f.where);
  for (const WarningRecord& w : form.run.diag.warnings) want(w.where);
  if (form.HasTrack && form.run.cellSource.size() > 1) want(form.run.cellSource[1]);  // a stamp stop

  SourceTexts t;
  t.route_path = ScenarioFilePath(form, ScenarioFile::kRouteSource);
  t.train_path = ScenarioFilePath(form, ScenarioFile::kTrainSource);
  std::string text, err;
  const auto& route = wanted[static_cast<size_t>(SourceFile::kRoute)];
  const auto& train = wanted[static_cast<size_t>(SourceFile::kTrain)];
  if (!route.empty() && form.run.fs->ReadFile(t.route_path, &text, &err))
    t.route_lines = PickLines(text, route);
  text = std::string();
  if (!train.empty() && form.run.fs->ReadFile(t.train_path, &text, &err))
    t.train_lines = PickLines(text, train);
  return t;
}

std::vector<Diagnostic> FaultDiagnostics(const Form1& form, const SourceTexts& texts) {
  std::vector<Diagnostic> out;
  for (const FaultRecord& f : form.run.diag.faults) {
    Diagnostic d;
    d.code = f.code;
    d.position = f.position;
    if (f.cell) {
      d.file = PathToUtf8(texts.train_path);
      d.message = "cell " + std::to_string(*f.cell) +
                  (f.position ? " (" + std::to_string(*f.position) + " m)" : std::string()) + ": " +
                  f.message;
    } else {
      Locate(&d, texts, f.where);
      d.message = f.message;
    }
    out.push_back(std::move(d));
  }
  return out;
}

std::vector<Diagnostic> WarningDiagnostics(const Form1& form, const SourceTexts& texts,
                                           size_t per_text) {
  std::vector<Diagnostic> out;
  size_t taken[3] = {};
  for (const WarningRecord& w : form.run.diag.warnings) {
    if (taken[static_cast<size_t>(w.where.file)]++ >= per_text) continue;
    Diagnostic d;
    d.severity = Severity::kWarning;
    Locate(&d, texts, w.where);
    d.message = w.message;
    out.push_back(std::move(d));
  }
  return out;
}

std::vector<Diagnostic> LeftOutNotes(const Form1& form, const SourceTexts& texts, size_t per_text) {
  std::vector<Diagnostic> out;
  for (SourceFile f : {SourceFile::kRoute, SourceFile::kTrain, SourceFile::kNone}) {
    const size_t i = static_cast<size_t>(f);
    const size_t total = form.run.diag.warningsKept[i] + form.run.diag.warningsLeftOut[i];
    if (total <= per_text) continue;
    Diagnostic d;
    d.severity = Severity::kNote;
    d.file = PathToUtf8(PathOf(texts, f));
    d.message = std::to_string(total - per_text) + " more warning" +
                (total - per_text == 1 ? "" : "s") + " of this text left out; the first " +
                std::to_string(per_text) + " are shown";
    out.push_back(std::move(d));
  }
  return out;
}

Diagnostic NoTrackDiagnostic(const CompileStop& stop) {
  Diagnostic d;
  d.severity = Severity::kFatal;
  // Plain words and the raw path of the route text: converted as a path, once.
  d.message = PathToUtf8(stop.what());
  return d;
}

Diagnostic StampDiagnostic(const Form1& form, const StampPlaceTaken& stop, const SourceTexts& texts) {
  Diagnostic d;
  d.severity = Severity::kFatal;
  const bool first = stop.code() == "1250";
  const char* stamp = first ? "the fixed stamp 5121 in its first value"
                            : "the scenario code in its second value";
  std::string what;
  if (form.HasTrack && form.CellCount >= 1) {
    const TrackCell& c = form.TrackCells[1];
    int16_t held = first ? c.value1 : c.value2;
    if (held != 0) {
      std::string occupant = c.cellType == kCellEmpty ? std::string("a value")
                                                      : DescribeOccupant(form, 1);
      what = "cell 1 (position 0 m) must take " + std::string(stamp) + ", but it holds " +
             occupant + ", whose " + (first ? "first" : "second") +
             " value is " + std::to_string(held) + " (nothing may stand at position 0)";
      if (form.run.cellSource.size() > 1) Locate(&d, texts, form.run.cellSource[1]);
    }
  }
  if (what.empty())
    what = std::string("row 85 of the train settings already holds a value where the compile puts ") +
           (first ? "the fixed value 610" : "the scenario code");
  d.message = what + "; Errore n. " + stop.code() + ", no binary file is written";
  return d;
}

Diagnostic WriteFailureDiagnostic(const RunFailure& failure, const std::vector<std::string>& written) {
  Diagnostic d;
  d.severity = Severity::kFatal;
  d.message = "cannot write " + PathToUtf8(failure.file()) + ": " + PathToUtf8(failure.description());
  if (written.empty()) {
    d.message += "; no binary file is written";
  } else {
    d.message += "; written before it:";
    for (size_t k = 0; k < written.size(); ++k) {
      d.message += k ? ", " : " ";
      d.message += PathToUtf8(written[k]);
    }
  }
  return d;
}

std::string CompileSummary(const Form1& form, size_t faults, size_t warnings, bool fatal,
                           bool check_only, size_t files_written) {
  auto count = [](size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
  };
  std::string s = count(faults, "fault") + ", " + count(warnings, "warning");
  if (fatal) return s + "; the compile did not complete";
  if (faults > 0) {
    s += "; the model keeps error code " + std::to_string(form.ErrorCode) + ", position " +
         std::to_string(form.ErrorPosition) + " m";
  }
  if (check_only) return s + "; checked only, no file written";
  s += "; " + count(files_written, "binary file") + " written";
  if (faults > 0) s += " all the same";
  return s;
}

}  // namespace sb
