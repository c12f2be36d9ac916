// `decompile`: the three binary files of a scenario back to a route text and a train text
// that `compile` turns into the same files.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "authoring/reporter.h"

namespace sb {

// What `decompile --help` prints.
extern const char kDecompileHelp[];

int DecompileCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report);

}  // namespace sb
