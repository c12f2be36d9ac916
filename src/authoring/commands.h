// The commands for scenario authors.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"

namespace sb {

// One authoring command: `args` are the arguments after the program name (at least one).
int RunCommand(const std::vector<std::string>& args, CommandIo& io);

}  // namespace sb
