// Every message of the authoring commands goes to standard error through a reporter, in one
// of two forms.
//
// A diagnostic of a source text, as compilers print them (the form editors read):
//
//   FILE:LINE:COLUMN: error: MESSAGE [fault CODE]      ("warning:", "fatal error:", "note:")
//      7 | segnale, 2010, 2,4,1, 1, 0, 2, 2,1,1, 0      the line, under a gutter of its number
//        |          ^~~~                               the field at fault
//   FILE:LINE:COLUMN: note: MESSAGE                    a place it points to, quoted the same way
//   note: MESSAGE                                      a remark without a place
//   help: MESSAGE                                      how to mend it
//
// One without a line is FILE: error: ...; one without a file is led by the program name.
//
// The command's own trouble (a wrong command line, a file it cannot read, decode or write):
//
//   scenario-builder COMMAND: MESSAGE
//
// The summing-up line of a compile is led by the program name alone. Everything is written as
// UTF-8: a message that is not valid UTF-8 (a raw argument, a path or system message of a
// Windows host) is read as Windows-1252. Control characters in messages and quoted lines are
// shown escaped (\x1B), so no text of an author can move the cursor or change the colours.
// Colour (ANSI escapes) only when asked for.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace sb {

enum class Severity { kError, kWarning, kFatal, kNote };

// A line of a source text as quoted under a diagnostic.
struct QuotedSource {
  std::string bytes;         // as the text holds them (Windows-1252), without the line end
  int32_t first_column = 1;  // the column of bytes[0]: a long line is cut around the field
  size_t length = 0;         // of the whole line, in bytes
};

// A place in a source text: the file, the line and the columns of a field.
struct DiagnosticPlace {
  std::string file;             // path of the source text, UTF-8; empty when none
  std::optional<int32_t> line;  // none for a diagnostic about a whole text
  int32_t column = 0;           // first column of the field, from 1; 0 when unknown
  int32_t end_column = 0;       // the column after its last character
  std::optional<QuotedSource> source;
};

// A further line of a diagnostic: a place it points to, or a remark (no file).
struct DiagnosticNoteLine {
  DiagnosticPlace where;
  std::string message;  // plain words, UTF-8
};

// A change of the text that mends a diagnostic.
struct DiagnosticFix {
  DiagnosticPlace where;  // its columns are those replaced (equal: an insertion)
  std::string text;       // UTF-8
  std::string title;      // "replace with 'pendenza'"
};

// One diagnostic of a compile.
struct Diagnostic {
  Severity severity = Severity::kError;
  std::optional<int32_t> code;      // faults only
  std::optional<int32_t> position;  // metres, for the codes that carry one
  DiagnosticPlace where;
  std::string message;  // plain words, UTF-8
  std::vector<DiagnosticNoteLine> notes;
  std::string help;     // how to mend it; empty when there is nothing to say
  std::optional<DiagnosticFix> fix;
};

// Whether the reporter colours its lines: --color=auto (on a terminal, without NO_COLOR),
// always or never.
enum class ColorMode { kAuto, kAlways, kNever };

class Reporter {
 public:
  // `command`: the name of the command the messages are about; empty for the program.
  Reporter(std::ostream& err, std::string command, bool colour = false)
      : err_(err), command_(std::move(command)), colour_(colour) {}

  void Report(const Diagnostic& d);
  // "scenario-builder: MESSAGE": what a compile came to.
  void Summary(const std::string& message);
  // "scenario-builder COMMAND: MESSAGE": the command cannot do its work. Returns the exit
  // status of a failed command.
  int Fail(const std::string& message);
  // A wrong command line: as Fail, then a line that points to the help.
  int WrongUsage(const std::string& message);

 private:
  void Write(const std::string& text);
  std::string Lead() const;
  // `text` between the escapes of a style when colouring, as it is otherwise.
  std::string Paint(const char* style, const std::string& text) const;

  std::ostream& err_;
  std::string command_;
  bool colour_;
};

// Text for a terminal: control characters (C0, DEL and C1, in UTF-8 or as bytes) as \xHH;
// a tab stays. The input must be UTF-8.
std::string EscapeControls(const std::string& utf8);

// The line of a quoted source and the marker line under it, without the gutter: bytes
// become UTF-8 and control characters \xHH (a tab a blank), and the marker ("^~~~") stands
// under the columns [column, end_column) as shown. An empty marker when the columns are not
// on the quoted part.
struct ShownSource {
  std::string line;
  std::string marker;
};
ShownSource ShowSource(const QuotedSource& source, int32_t column, int32_t end_column);

}  // namespace sb
