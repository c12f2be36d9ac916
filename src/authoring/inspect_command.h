// `inspect`: a track, train settings or line data file decoded into a readable table.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "authoring/reporter.h"

namespace sb {

// What `inspect --help` prints.
extern const char kInspectHelp[];

int InspectCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report);

}  // namespace sb
