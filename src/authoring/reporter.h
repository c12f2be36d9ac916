// Every message of the authoring commands goes to standard error through a reporter, in one
// of two forms:
//
//   FILE:LINE: error CODE: MESSAGE     a diagnostic of a source text ("warning:", "fatal:",
//       the line of the text            "note:"), the line it is about indented by four
//                                       blanks; one without a file is led by the program name
//   scenario-builder COMMAND: MESSAGE  the command's own trouble: a wrong command line, a
//                                       file it cannot read, decode or write
//
// The form editors read is the first; the summing-up line of a compile is led by the program
// name alone. Everything is written as UTF-8: a message that is not valid UTF-8 (a raw
// argument, a path or system message of a Windows host) is read as Windows-1252.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>

namespace sb {

enum class Severity { kError, kWarning, kFatal, kNote };

// One diagnostic of a compile.
struct Diagnostic {
  Severity severity = Severity::kError;
  std::optional<int32_t> code;      // faults only
  std::optional<int32_t> position;  // metres, for the codes that carry one
  std::string file;                 // path of the source text, UTF-8; empty when none
  std::optional<int32_t> line;      // line of the key; none for cell pass faults
  std::string message;              // plain words, UTF-8
  std::string source_line;          // the line itself, UTF-8; empty when none
};

class Reporter {
 public:
  // `command`: the name of the command the messages are about; empty for the program.
  Reporter(std::ostream& err, std::string command) : err_(err), command_(std::move(command)) {}

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

  std::ostream& err_;
  std::string command_;
};

}  // namespace sb
