#include "driver/commands.h"

#include <iostream>
#include <string>

#include "driver/compile_command.h"
#include "driver/file_system.h"
#include "driver/inspect_command.h"
#include "driver/plot_command.h"
#include "driver/platform.h"
#include "driver/run.h"
#include "driver/sources_command.h"
#include "driver/text_encoding.h"
#include "driver/version.h"

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
    *io.out << kProgramName << ' ' << kVersion << "\n";
    return kExitOk;
  }
  *io.err << kProgramName << ": unknown command '" << PathToUtf8(command) << "'\n"
          << "try '" << kProgramName << " --help'\n";
  return kExitFailed;
}

int Main(int argc, char** argv) {
  if (argc <= 1) {
    auto platform = MakePlatform();
    auto fs = MakeRealFileSystem();
    Form1 form;
    form.fs = fs.get();
    form.BaseDirectory = platform->ExecutableDirectory();
    form.Separator = platform->PathSeparator();
    return Form_Load(form, *platform);
  }
  auto fs = MakeRealFileSystem();
  CommandIo io{fs.get(), MakePlatform()->PathSeparator(), &std::cout, &std::cerr};
  int status = RunCommand(std::vector<std::string>(argv + 1, argv + argc), io);
  std::cout.flush();
  return status;
}

}  // namespace sb
