// Every diagnostic of a compile, built here and only here: the faults and warnings the
// engine recorded, and the stop of a compile that could not complete, each with the source
// text, the line of its key and that line itself. The same records feed the reporter's lines
// on standard error and the JSON report.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "authoring/reporter.h"
#include "model/form1.h"

namespace sb {

class CompileStop;
class StampPlaceTaken;
class RunFailure;

// The lines of the two source texts that the diagnostics of a compile quote.
struct SourceTexts {
  std::string route_path;
  std::string train_path;
  // By line number: the line without its line end, as the text holds it (Windows-1252), a
  // long one cut after kLineKept bytes (`length` keeps its whole length).
  std::map<int32_t, QuotedSource> route_lines;
  std::map<int32_t, QuotedSource> train_lines;
};

// Of a long line, this many bytes are kept, and this many shown around the field at fault.
inline constexpr size_t kLineKept = 4096;
inline constexpr size_t kLineShown = 160;

// Reads back, from the two texts named by the form, the lines that its recorded faults and
// warnings (and a stop at a fixed stamp) are about, and keeps only those: called after the
// compile, it holds one text at a time and drops it at once. A missing text gives no lines.
SourceTexts LoadSourceTexts(Form1& form);

// The recorded faults, in the order they were met, each at the field at fault, with its notes
// and its help (the fault's own, or that of its code in the table of the formats). Faults of
// the cell pass point at the line of the slowdown that made the pass's work (the train text
// without a line when there is none), their message led by the cell and its position.
std::vector<Diagnostic> FaultDiagnostics(const Form1& form, const SourceTexts& texts);
// The first `per_text` kept warnings of each text, in the order they were met.
std::vector<Diagnostic> WarningDiagnostics(const Form1& form, const SourceTexts& texts,
                                           size_t per_text = kWarningsKeptPerText);
// Standard error shows this many warnings of each text, --json all those kept.
inline constexpr size_t kWarningsShownPerText = 100;
// For each text with more than `per_text` warnings, one note without a line: how many were
// left out (those kept beyond `per_text` and those only counted).
std::vector<Diagnostic> LeftOutNotes(const Form1& form, const SourceTexts& texts, size_t per_text);

// The stops that end a compile before its binary files are written.
Diagnostic NoTrackDiagnostic(const CompileStop& stop);
Diagnostic StampDiagnostic(const Form1& form, const StampPlaceTaken& stop, const SourceTexts& texts);
// `written`: the files replaced before the failing one.
Diagnostic WriteFailureDiagnostic(const RunFailure& failure, const std::vector<std::string>& written);

// What the compile came to, in plain words: the summing-up line on standard error.
// `strict`: warnings counted as faults, and no binary file written after either.
std::string CompileSummary(const Form1& form, size_t faults, size_t warnings, bool fatal,
                           bool check_only, size_t files_written, bool strict = false);

// What standard error shows of a compile: the faults, the first kWarningsShownPerText warnings
// of each text and the notes of those left out, in reading order (the route text, the train
// text, by line; a diagnostic without a line after the lines of its file), then the fatal stop.
std::vector<Diagnostic> ShownDiagnostics(const Form1& form, const SourceTexts& texts,
                                         const std::vector<Diagnostic>& faults,
                                         const std::optional<Diagnostic>& fatal);

}  // namespace sb
