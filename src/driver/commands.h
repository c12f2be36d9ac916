// Command line: no arguments is the default run; the authoring commands are additions.
#pragma once

#include <string>
#include <vector>

#include "driver/command_io.h"

namespace sb {

int Main(int argc, char** argv);

// One authoring command: `args` are the arguments after the program name (at least one).
int RunCommand(const std::vector<std::string>& args, CommandIo& io);

}  // namespace sb
