// `plot`: the plan and the profile of a compiled scenario as an SVG picture.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "authoring/reporter.h"

namespace sb {

// What `plot --help` prints.
extern const char kPlotHelp[];

int PlotCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report);

}  // namespace sb
