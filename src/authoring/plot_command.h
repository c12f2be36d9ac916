// `plot`: the plan and the profile of a compiled scenario as an SVG picture.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"

namespace sb {

extern const char kPlotHelp[];

int PlotCommand(const std::vector<std::string>& args, CommandIo& io);

}  // namespace sb
