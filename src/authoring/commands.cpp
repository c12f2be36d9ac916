#include "authoring/commands.h"

#include <string>

#include "authoring/command_line.h"
#include "authoring/compile_command.h"
#include "authoring/inspect_command.h"
#include "authoring/plot_command.h"
#include "authoring/sources_command.h"
#include "authoring/version.h"

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
  Reporter report(*io.err, command);
  auto run = [&](const char* help, auto command_function) {
    if (!WantsHelp(rest)) return command_function(rest, io, report);
    *io.out << help;
    return kExitOk;
  };
  if (command == "compile") return run(kCompileHelp, CompileCommand);
  if (command == "sources") return run(kSourcesHelp, SourcesCommand);
  if (command == "inspect") return run(kInspectHelp, InspectCommand);
  if (command == "plot") return run(kPlotHelp, PlotCommand);
  if (command == "--help" || command == "-h" || command == "help") {
    *io.out << kProgramHelp;
    return kExitOk;
  }
  if (command == "--version") {
    *io.out << kProgramName << ' ' << kVersion << "\n";
    return kExitOk;
  }
  return Reporter(*io.err, "").WrongUsage("unknown command '" + command + "'");
}


}  // namespace sb
