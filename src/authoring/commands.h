// The commands for scenario authors: one table from which the dispatch and every help text
// are made.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "authoring/reporter.h"

namespace sb {

struct CommandInfo {
  const char* name;
  const char* summary;  // one line of the program's --help
  const char* help;     // what `COMMAND --help` prints: usage, what it does, its options
  // Runs the command on the arguments after its name; returns the exit status.
  int (*run)(const std::vector<std::string>& args, CommandIo& io, Reporter& report);
};

// In the order the program's --help lists them.
std::span<const CommandInfo> Commands();

// What `--help` prints.
std::string ProgramHelp();

// One run of the program with arguments: `args` are those after the program name (at least
// one). A command, `COMMAND --help`, `--help` (also `-h`, `help`) or `--version`.
int RunCommand(const std::vector<std::string>& args, CommandIo& io);

}  // namespace sb
