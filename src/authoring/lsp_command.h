// `lsp`: the language server on standard input and output.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "authoring/reporter.h"

namespace sb {

extern const char kLspHelp[];

int LspCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report);

// Standard input and output pass bytes as they are (Windows would add a CR before each LF).
void UseBinaryStandardStreams();

}  // namespace sb
