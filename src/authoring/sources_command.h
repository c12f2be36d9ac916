// `sources`: the five texts of the built-in scenario, as a starting point for an author.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"

namespace sb {

extern const char kSourcesHelp[];

int SourcesCommand(const std::vector<std::string>& args, CommandIo& io);

}  // namespace sb
