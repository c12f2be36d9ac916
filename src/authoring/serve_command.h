// `serve`: the viewer page on a local HTTP server, compiled again and redrawn on every save
// of the texts; `watch`: the same loop without a browser, writing the binary files.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "authoring/reporter.h"

namespace sb {

extern const char kServeHelp[];
extern const char kWatchHelp[];

int ServeCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report);
int WatchCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report);

}  // namespace sb
