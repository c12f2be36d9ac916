// `inspect`: a track, train settings or line data file decoded into a readable table.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"

namespace sb {

extern const char kInspectHelp[];

int InspectCommand(const std::vector<std::string>& args, CommandIo& io);

}  // namespace sb
