// `compile`: an author's route and train texts into the simulator's binary files, with
// every fault and warning reported by file and line.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "authoring/reporter.h"

namespace sb {

// What `compile --help` prints.
extern const char kCompileHelp[];

// `args` are the arguments after "compile". Returns the exit status.
int CompileCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report);

}  // namespace sb
