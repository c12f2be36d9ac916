#include "driver/diagnostic_format.h"

#include "compiler/compile.h"
#include "driver/command_io.h"
#include "driver/file_names.h"
#include "driver/file_system.h"
#include "driver/text_encoding.h"
#include "model/faults.h"
#include "model/run_errors.h"

namespace sb {
namespace {

std::vector<std::string> SplitLines(const std::string& text) {
  // Lines end at LF, as the field reader counts them; a CR before the LF is dropped.
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t lf = text.find('\n', start);
    size_t end = lf == std::string::npos ? text.size() : lf;
    size_t len = end - start;
    if (len > 0 && text[end - 1] == '\r') --len;
    lines.push_back(text.substr(start, len));
    if (lf == std::string::npos) break;
    start = lf + 1;
  }
  return lines;
}

const std::string& PathOf(const SourceTexts& t, SourceFile f) {
  static const std::string kNone;
  return f == SourceFile::kRoute ? t.route_path : f == SourceFile::kTrain ? t.train_path : kNone;
}

std::string LineOf(const SourceTexts& t, SourceFile f, int32_t line) {
  const std::vector<std::string>* lines =
      f == SourceFile::kRoute ? &t.route_lines : f == SourceFile::kTrain ? &t.train_lines : nullptr;
  if (lines == nullptr || line < 1 || static_cast<size_t>(line) > lines->size()) return "";
  // A line of megabytes is quoted by its start.
  constexpr size_t kShown = 200;
  const std::string& text = (*lines)[static_cast<size_t>(line) - 1];
  if (text.size() <= kShown) return Cp1252ToUtf8(text);
  return Cp1252ToUtf8(text.substr(0, kShown)) + "... (" + std::to_string(text.size()) + " bytes)";
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
  SourceTexts t;
  t.route_path = PercorsoFile(form, ScenarioFile::kRouteSource);
  t.train_path = PercorsoFile(form, ScenarioFile::kTrainSource);
  std::string text, err;
  if (form.fs->ReadFile(t.route_path, &text, &err)) t.route_lines = SplitLines(text);
  text.clear();
  if (form.fs->ReadFile(t.train_path, &text, &err)) t.train_lines = SplitLines(text);
  return t;
}

std::vector<Diagnostic> FaultDiagnostics(const Form1& form, const SourceTexts& texts) {
  std::vector<Diagnostic> out;
  for (const FaultRecord& f : form.diag.faults) {
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

std::vector<Diagnostic> WarningDiagnostics(const Form1& form, const SourceTexts& texts) {
  std::vector<Diagnostic> out;
  for (const WarningRecord& w : form.diag.warnings) {
    Diagnostic d;
    d.severity = Severity::kWarning;
    Locate(&d, texts, w.where);
    d.message = w.message;
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

Diagnostic StampDiagnostic(const Form1& form, const ErroreStop& stop, const SourceTexts& texts) {
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
      if (form.CellSource.size() > 1) Locate(&d, texts, form.CellSource[1]);
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

std::string FormatDiagnostic(const Diagnostic& d) {
  std::string s = d.file.empty() ? std::string(kProgramName) : d.file;
  if (d.line) {
    s += ':';
    s += std::to_string(*d.line);
  }
  switch (d.severity) {
    case Severity::kError: s += ": error " + std::to_string(d.code.value_or(0)) + ": "; break;
    case Severity::kWarning: s += ": warning: "; break;
    case Severity::kFatal: s += ": fatal: "; break;
  }
  s += d.message;
  s += '\n';
  if (!d.source_line.empty()) {
    s += "    ";
    s += d.source_line;
    s += '\n';
  }
  return s;
}

std::string CompileSummary(const Form1& form, size_t faults, size_t warnings, bool fatal,
                           bool check_only, size_t files_written) {
  auto count = [](size_t n, const char* word) {
    return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
  };
  std::string s = std::string(kProgramName) + ": " + count(faults, "fault") + ", " +
                  count(warnings, "warning");
  if (fatal) return s + "; the compile did not complete\n";
  if (faults > 0) {
    s += "; the model keeps error code " + std::to_string(form.ErrorCode) + ", position " +
         std::to_string(form.ErrorPosition) + " m";
  }
  if (check_only) return s + "; checked only, no file written\n";
  s += "; " + count(files_written, "binary file") + " written";
  if (faults > 0) s += " all the same";
  return s + "\n";
}

}  // namespace sb
