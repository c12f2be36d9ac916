// Every diagnostic of a compile, built here and only here: the faults and warnings the
// engine recorded, and the stop of a compile that could not complete, each with the source
// text, the line of its key and that line itself. The same records feed the editor-style
// lines on standard error and the JSON report.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model/form1.h"

namespace sb {

class CompileStop;
class ErroreStop;
class RunFailure;

// The two source texts of a compile, read back for quoting their lines.
struct SourceTexts {
  std::string route_path;
  std::string train_path;
  std::vector<std::string> route_lines;  // line n at index n - 1, without its line end
  std::vector<std::string> train_lines;
};

// Reads the two texts named by the form (a missing text gives no lines).
SourceTexts LoadSourceTexts(Form1& form);

enum class Severity { kError, kWarning, kFatal };

struct Diagnostic {
  Severity severity = Severity::kError;
  std::optional<int32_t> code;      // faults only
  std::optional<int32_t> position;  // metres, for the codes that carry one
  std::string file;                 // path of the source text, UTF-8; empty when none
  std::optional<int32_t> line;      // line of the key; none for cell pass faults
  std::string message;              // plain words, UTF-8
  std::string source_line;          // the line itself, UTF-8; empty when none
};

// The recorded faults, in the order they were met. Faults of the cell pass are reported
// against the train text (its slowdowns make the pass's work), without a line, their message
// led by the cell and its position.
std::vector<Diagnostic> FaultDiagnostics(const Form1& form, const SourceTexts& texts);
std::vector<Diagnostic> WarningDiagnostics(const Form1& form, const SourceTexts& texts);

// The stops that end a compile before its binary files are written.
Diagnostic NoTrackDiagnostic(const CompileStop& stop);
Diagnostic StampDiagnostic(const Form1& form, const ErroreStop& stop, const SourceTexts& texts);
// `written`: the files replaced before the failing one.
Diagnostic WriteFailureDiagnostic(const RunFailure& failure, const std::vector<std::string>& written);

// "FILE:LINE: error CODE: MESSAGE" (or "warning:", "fatal:"), then the source line indented
// by four blanks; a diagnostic without a file is led by the program name.
std::string FormatDiagnostic(const Diagnostic& d);

// The last line on standard error: what the compile came to, in plain words.
std::string CompileSummary(const Form1& form, size_t faults, size_t warnings, bool fatal,
                           bool check_only, size_t files_written);

}  // namespace sb
