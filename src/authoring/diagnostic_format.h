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
  // By line number: the line without its line end, in UTF-8, a long one cut to its start.
  std::map<int32_t, std::string> route_lines;
  std::map<int32_t, std::string> train_lines;
};

// Reads back, from the two texts named by the form, the lines that its recorded faults and
// warnings (and a stop at a fixed stamp) are about, and keeps only those: called after the
// compile, it holds one text at a time and drops it at once. A missing text gives no lines.
SourceTexts LoadSourceTexts(Form1& form);

// The recorded faults, in the order they were met. Faults of the cell pass are reported
// against the train text (its slowdowns make the pass's work), without a line, their message
// led by the cell and its position.
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
std::string CompileSummary(const Form1& form, size_t faults, size_t warnings, bool fatal,
                           bool check_only, size_t files_written);

}  // namespace sb
