#include "authoring/commands.h"

#include <string_view>

#include "authoring/command_line.h"
#include "authoring/compile_command.h"
#include "authoring/decompile_command.h"
#include "authoring/explain_command.h"
#include "authoring/inspect_command.h"
#include "authoring/lsp_command.h"
#include "authoring/plot_command.h"
#include "authoring/serve_command.h"
#include "authoring/sources_command.h"
#include "authoring/version.h"
#include "authoring/view_command.h"

namespace sb {
namespace {

const CommandInfo kCommands[] = {
    {"compile",
     "compile a route text and a train text into the binary files, reporting every fault by "
     "file and line",
     kCompileHelp, CompileCommand},
    {"sources", "write the five texts of the built-in scenario, as a starting point",
     kSourcesHelp, SourcesCommand},
    {"inspect", "show what a track, train settings or line data file holds", kInspectHelp,
     InspectCommand},
    {"plot", "draw the plan and the profile of a compiled scenario as an SVG picture", kPlotHelp,
     PlotCommand},
    {"explain", "describe a fault code, or a key of the texts with its columns", kExplainHelp,
     ExplainCommand},
    {"lsp", "the language server for editors: faults as you type, fields explained",
     kLspHelp, LspCommand},
    {"decompile", "turn the binary files back into texts that compile to the same bytes",
     kDecompileHelp, DecompileCommand},
    {"view", "write an interactive page of the plan and the profile, from the texts or the binary files",
     kViewHelp, ViewCommand},
    {"serve", "show the viewer page on a local server, redrawn on each save",
     kServeHelp, ServeCommand},
    {"watch", "compile the texts again whenever one is saved", kWatchHelp, WatchCommand},
};

const char kProgramHelpHead[] =
    "usage: scenario-builder\n"
    "       scenario-builder COMMAND [ARGUMENTS] [--help]\n"
    "       scenario-builder --help | --version\n"
    "       (every command also takes --color=auto|always|never)\n"
    "\n"
    "Without arguments, builds the built-in scenario Torbena-Sarvico-Zeva (train 47302)\n"
    "next to the executable: the notes, the slowdown order form, the train card and the\n"
    "three binary files of the simulator.\n"
    "\n"
    "Commands for scenario authors:\n";

const char kProgramHelpTail[] =
    "\n"
    "'scenario-builder COMMAND --help' describes a command.\n";

// The help texts are at most this wide.
constexpr size_t kHelpWidth = 82;
// "  decompile  ": where the summaries start.
constexpr size_t kSummaryColumn = 13;

// One entry of the list: the name, then its summary filled into lines of kHelpWidth.
std::string ListEntry(const CommandInfo& c) {
  std::string out = "  " + std::string(c.name);
  out.resize(kSummaryColumn, ' ');
  size_t column = kSummaryColumn;
  for (std::string_view rest = c.summary; !rest.empty();) {
    const size_t space = rest.find(' ');
    const std::string_view word = rest.substr(0, space);
    rest = space == std::string_view::npos ? std::string_view() : rest.substr(space + 1);
    if (column > kSummaryColumn && column + 1 + word.size() > kHelpWidth) {
      out += '\n';
      out.append(kSummaryColumn, ' ');
      column = kSummaryColumn;
    } else if (column > kSummaryColumn) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
  }
  return out + '\n';
}

}  // namespace

std::span<const CommandInfo> Commands() { return kCommands; }

std::string ProgramHelp() {
  std::string out = kProgramHelpHead;
  for (const CommandInfo& c : Commands()) out += ListEntry(c);
  return out + kProgramHelpTail;
}

int RunCommand(const std::vector<std::string>& given, CommandIo& io) {
  // --color[=WHEN] is taken out wherever it stands before "--", for every command.
  std::vector<std::string> args;
  ColorMode colour = ColorMode::kAuto;
  std::string wrong_colour;
  bool colour_wrong = false;
  bool options_ended = false;
  for (size_t i = 0; i < given.size(); ++i) {
    const std::string& a = given[i];
    if (a == "--") options_ended = true;
    if (options_ended || (a != "--color" && a.rfind("--color=", 0) != 0)) {
      args.push_back(a);
      continue;
    }
    std::string when = a == "--color" ? (i + 1 < given.size() ? given[++i] : "") : a.substr(8);
    if (when == "auto") colour = ColorMode::kAuto;
    else if (when == "always") colour = ColorMode::kAlways;
    else if (when == "never") colour = ColorMode::kNever;
    else {
      colour_wrong = true;
      wrong_colour = when;
    }
  }
  const bool paint = colour == ColorMode::kAlways ||
                     (colour == ColorMode::kAuto && io.err_shows_colour && !io.no_color);
  if (colour_wrong)
    return Reporter(*io.err, "", paint)
        .WrongUsage("--color takes auto, always or never, not '" + wrong_colour + "'");
  if (args.empty()) return Reporter(*io.err, "", paint).WrongUsage("no command given");
  const std::string& name = args.at(0);
  if (name == "--help" || name == "-h" || name == "help") {
    *io.out << ProgramHelp();
    return kExitOk;
  }
  if (name == "--version") {
    *io.out << kProgramName << ' ' << Version() << "\n";
    return kExitOk;
  }
  for (const CommandInfo& c : Commands()) {
    if (name != c.name) continue;
    const std::vector<std::string> rest(args.begin() + 1, args.end());
    if (WantsHelp(rest)) {
      *io.out << c.help;
      return kExitOk;
    }
    Reporter report(*io.err, c.name, paint);
    return c.run(rest, io, report);
  }
  std::vector<const char*> names;
  for (const CommandInfo& c : Commands()) names.push_back(c.name);
  for (const char* option : {"--help", "--version"}) names.push_back(option);
  return Reporter(*io.err, "", paint)
      .WrongUsage("unknown command '" + name + "'" + DidYouMean(name, names));
}

}  // namespace sb
