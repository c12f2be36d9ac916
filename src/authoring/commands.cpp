#include "authoring/commands.h"

#include <iostream>
#include <string>

#include "authoring/compile_command.h"
#include "authoring/inspect_command.h"
#include "authoring/plot_command.h"
#include "authoring/sources_command.h"
#include "authoring/version.h"
#include "io/file_system.h"
#include "io/text_encoding.h"

namespace sb {
namespace {

const char kProgramHelp[] =
    "usage: scenario-builder\n"
    "       scenario-builder COMMAND [ARGUMENTS] [--help]\n"
    "       scenario-builder --help | --version\n"
    "\n"
    "Without arguments, builds the built-in scenario Torbena-Sarvico-Zeva (train 47302)\n"
    "next to the executable: the notes, the slowdown order form, the train card and the\n"
    "three binary files of the simulator.\n"
    "\n"
    "Commands for scenario authors:\n"
    "  compile   compile a route text and a train text into the binary files, reporting\n"
    "            every fault by file and line\n"
    "  sources   write the five texts of the built-in scenario, as a starting point\n"
    "  inspect   show what a track, train settings or line data file holds\n"
    "  plot      draw the plan and the profile of a compiled scenario as an SVG picture\n"
    "\n"
    "'scenario-builder COMMAND --help' describes a command.\n";

}  // namespace

int RunCommand(const std::vector<std::string>& args, CommandIo& io) {
  const std::string& command = args.at(0);
  std::vector<std::string> rest(args.begin() + 1, args.end());
  if (command == "compile") return CompileCommand(rest, io);
  if (command == "sources") return SourcesCommand(rest, io);
  if (command == "inspect") return InspectCommand(rest, io);
  if (command == "plot") return PlotCommand(rest, io);
  if (command == "--help" || command == "-h" || command == "help") {
    *io.out << kProgramHelp;
    return kExitOk;
  }
  if (command == "--version") {
    *io.out << kProgramName << ' ' << Version() << "\n";
    return kExitOk;
  }
  *io.err << kProgramName << ": unknown command '" << PathToUtf8(command) << "'\n"
          << "try '" << kProgramName << " --help'\n";
  return kExitFailed;
}


}  // namespace sb
