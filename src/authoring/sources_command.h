// `sources`: the five texts of the built-in scenario, as a starting point for an author.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "authoring/reporter.h"

namespace sb {

// What `sources --help` prints.
extern const char kSourcesHelp[];

int SourcesCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report);

}  // namespace sb
