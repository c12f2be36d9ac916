#include "authoring/diagnostic_format.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "compiler/compile.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/faults.h"
#include "model/run_errors.h"
#include "readers/format_table.h"

namespace sb {
namespace {

// The wanted lines of a text, in one pass. Lines end at LF, as the field reader counts
// them; a CR before the LF is dropped.
std::map<int32_t, QuotedSource> PickLines(std::string_view text, const std::set<int32_t>& wanted) {
  std::map<int32_t, QuotedSource> out;
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
    QuotedSource q;
    q.bytes = std::string(text.substr(start, std::min(len, kLineKept)));
    q.length = len;
    out.emplace(want, std::move(q));
  }
  return out;
}

const std::string& PathOf(const SourceTexts& t, SourceFile f) {
  static const std::string kNone;
  return f == SourceFile::kRoute ? t.route_path : f == SourceFile::kTrain ? t.train_path : kNone;
}

const QuotedSource* LineOf(const SourceTexts& t, SourceFile f, int32_t line) {
  const std::map<int32_t, QuotedSource>* lines =
      f == SourceFile::kRoute ? &t.route_lines : f == SourceFile::kTrain ? &t.train_lines : nullptr;
  if (lines == nullptr) return nullptr;
  auto it = lines->find(line);
  return it == lines->end() ? nullptr : &it->second;
}

// File, line, columns and quoted line of a source reference. A reference to a whole line
// marks the line from its first character that is not a blank.
DiagnosticPlace Locate(const SourceTexts& t, SourceRef where) {
  DiagnosticPlace p;
  p.file = PathToUtf8(PathOf(t, where.file));
  if (where.file == SourceFile::kNone || where.line <= 0) return p;
  p.line = where.line;
  p.column = where.column;
  p.end_column = std::max(where.endColumn, where.column);
  const QuotedSource* q = LineOf(t, where.file, where.line);
  if (q == nullptr) return p;
  if (p.column <= 0) {
    const size_t lead = q->bytes.find_first_not_of(" \t");
    p.column = lead == std::string::npos ? 1 : static_cast<int32_t>(lead) + 1;
    p.end_column = std::max(p.column, static_cast<int32_t>(q->bytes.size()) + 1);
  }
  // The shown part: the line's start, or a stretch around a field far along a long line.
  QuotedSource shown;
  shown.length = q->length;
  size_t from = 0;
  if (q->bytes.size() > kLineShown && static_cast<size_t>(p.column) > kLineShown - 40)
    from = std::min(static_cast<size_t>(p.column) - 1 - 40, q->bytes.size() - 1);
  shown.first_column = static_cast<int32_t>(from) + 1;
  shown.bytes = q->bytes.substr(from, kLineShown);
  p.source = std::move(shown);
  return p;
}

std::vector<DiagnosticNoteLine> Notes(const SourceTexts& t, const std::vector<DiagnosticNote>& notes) {
  std::vector<DiagnosticNoteLine> out;
  for (const DiagnosticNote& n : notes) {
    DiagnosticNoteLine l;
    if (n.where.file != SourceFile::kNone) l.where = Locate(t, n.where);
    l.message = n.message;
    out.push_back(std::move(l));
  }
  return out;
}

std::optional<DiagnosticFix> Fix(const SourceTexts& t, const std::optional<TextFix>& fix) {
  if (!fix) return std::nullopt;
  DiagnosticFix f;
  f.where = Locate(t, fix->where);
  f.where.source.reset();
  f.where.column = fix->where.column;
  f.where.end_column = fix->where.endColumn;
  f.text = Cp1252ToUtf8(fix->text);
  f.title = fix->title;
  return f;
}

}  // namespace

SourceTexts LoadSourceTexts(Form1& form) {
  std::set<int32_t> wanted[3];  // by SourceFile
  auto want = [&](SourceRef r) { wanted[static_cast<size_t>(r.file)].insert(r.line); };
  auto want_notes = [&](const std::vector<DiagnosticNote>& notes) {
    for (const DiagnosticNote& n : notes) want(n.where);
  };
  for (const FaultRecord& f : form.run.diag.faults) {
    want(f.where);
    want_notes(f.notes);
  }
  for (const WarningRecord& w : form.run.diag.warnings) {
    want(w.where);
    want_notes(w.notes);
  }
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
    d.where = Locate(texts, f.where);
    d.message = f.message;
    if (f.cell) {
      if (f.where.file == SourceFile::kNone) d.where.file = PathToUtf8(texts.train_path);
      d.message = CellAt(*f.cell) + ": " + f.message;
    }
    d.notes = Notes(texts, f.notes);
    d.help = f.help;
    if (d.help.empty())
      if (const FaultInfo* info = FindFault(f.code)) d.help = info->fix;
    d.fix = Fix(texts, f.fix);
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
    d.where = Locate(texts, w.where);
    d.message = w.message;
    d.notes = Notes(texts, w.notes);
    d.fix = Fix(texts, w.fix);
    d.help = w.help;
    if (d.help.empty() && d.fix) d.help = d.fix->title;
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
    d.where.file = PathToUtf8(PathOf(texts, f));
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
      if (form.run.cellSource.size() > 1) d.where = Locate(texts, form.run.cellSource[1]);
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
                           bool check_only, size_t files_written, bool strict) {
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
  if (strict && faults + warnings > 0) return s + "; --strict: no binary file written";
  s += "; " + count(files_written, "binary file") + " written";
  if (faults > 0) s += " all the same";
  return s;
}

std::vector<Diagnostic> ShownDiagnostics(const Form1& form, const SourceTexts& texts,
                                         const std::vector<Diagnostic>& faults,
                                         const std::optional<Diagnostic>& fatal) {
  std::vector<Diagnostic> shown = faults;
  std::vector<Diagnostic> first = WarningDiagnostics(form, texts, kWarningsShownPerText);
  std::vector<Diagnostic> notes = LeftOutNotes(form, texts, kWarningsShownPerText);
  shown.insert(shown.end(), first.begin(), first.end());
  shown.insert(shown.end(), notes.begin(), notes.end());
  const std::string route = PathToUtf8(texts.route_path), train = PathToUtf8(texts.train_path);
  auto key = [&](const Diagnostic& d) {
    int rank = d.where.file == route ? 0 : d.where.file == train ? 1 : 2;
    return std::make_pair(rank, d.where.line.value_or(INT32_MAX));
  };
  std::stable_sort(shown.begin(), shown.end(),
                   [&](const Diagnostic& a, const Diagnostic& b) { return key(a) < key(b); });
  if (fatal) shown.push_back(*fatal);
  return shown;
}

}  // namespace sb
