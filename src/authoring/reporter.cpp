#include "authoring/reporter.h"

#include "authoring/command_io.h"
#include "io/text_encoding.h"

namespace sb {

void Reporter::Write(const std::string& text) { err_ << PathToUtf8(text); }

std::string Reporter::Lead() const {
  return command_.empty() ? std::string(kProgramName) : std::string(kProgramName) + ' ' + command_;
}

void Reporter::Report(const Diagnostic& d) {
  std::string s = d.file.empty() ? std::string(kProgramName) : d.file;
  if (d.line) {
    s += ':';
    s += std::to_string(*d.line);
  }
  switch (d.severity) {
    case Severity::kError: s += ": error " + std::to_string(d.code.value_or(0)) + ": "; break;
    case Severity::kWarning: s += ": warning: "; break;
    case Severity::kFatal: s += ": fatal: "; break;
    case Severity::kNote: s += ": note: "; break;
  }
  s += d.message;
  s += '\n';
  if (!d.source_line.empty()) {
    s += "    ";
    s += d.source_line;
    s += '\n';
  }
  Write(s);
}

void Reporter::Summary(const std::string& message) {
  Write(std::string(kProgramName) + ": " + message + "\n");
}

int Reporter::Fail(const std::string& message) {
  Write(Lead() + ": " + message + "\n");
  return kExitFailed;
}

int Reporter::WrongUsage(const std::string& message) {
  Fail(message);
  Write("try '" + Lead() + " --help'\n");
  return kExitFailed;
}

}  // namespace sb
