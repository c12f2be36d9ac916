#include "authoring/serve_command.h"

#include <iostream>

#include "authoring/command_line.h"
#include "authoring/preview_server.h"
#include "authoring/text_watcher.h"
#include "authoring/view_command.h"
#include "authoring/view_page.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "scenario/scenario_texts.h"

namespace sb {

const char kServeHelp[] =
    "usage: scenario-builder serve [DIR] [--scenario NAME] [--train NUMBER] [--port N]\n"
    "                              [--write]\n"
    "\n"
    "Shows the scenario in the browser, as 'view' does, and keeps the page up to date:\n"
    "whenever the route text or the train text is saved, it compiles them again, prints\n"
    "the faults and warnings anew and the open page redraws the new model where it was.\n"
    "The server listens on 127.0.0.1 only and prints its address; it answers only\n"
    "requests for that address and serves only its page. Ctrl+C stops it.\n"
    "\n"
    "  --scenario NAME  scenario name (default: Torbena-Sarvico-Zeva)\n"
    "  --train NUMBER   train number (default: 47302)\n"
    "  --port N         the port to listen on (default: a free one)\n"
    "  --write          also write the binary files after each compile without fault\n";

const char kWatchHelp[] =
    "usage: scenario-builder watch [DIR] [--scenario NAME] [--train NUMBER]\n"
    "                              [--plot FILE.svg]\n"
    "\n"
    "Compiles the route text and the train text as 'compile' does, then again whenever\n"
    "one of them is saved: prints the faults and warnings anew and writes the binary\n"
    "files every time. Ctrl+C stops it.\n"
    "\n"
    "  --scenario NAME  scenario name (default: Torbena-Sarvico-Zeva)\n"
    "  --train NUMBER   train number (default: 47302)\n"
    "  --plot FILE.svg  also draw the plot of every compile into FILE.svg\n";

namespace {

// How often the texts are looked at, and how long they must stay unchanged to be compiled.
constexpr std::chrono::milliseconds kLookEvery{100};
constexpr std::chrono::milliseconds kSettle{150};

std::vector<std::string> SourcePaths(const ScenarioNaming& names) {
  return {ScenarioFilePath(names, ScenarioFile::kRouteSource),
          ScenarioFilePath(names, ScenarioFile::kTrainSource)};
}

std::string Title(const ScenarioNaming& names) {
  return PathToUtf8(names.scenario) + ", train " + PathToUtf8(names.train);
}

bool ParseScenario(const std::vector<std::string>& args, std::vector<OptionDef> defs, CommandIo& io,
                   Reporter& report, ParsedArgs* a, ScenarioNaming* names, int* status) {
  defs.push_back({"--scenario", true});
  defs.push_back({"--train", true});
  std::string err;
  if (!ParseArgs(args, defs, 1, a, &err)) {
    *status = report.WrongUsage(err);
    return false;
  }
  return ScenarioOptions(a->positional.empty() ? "." : a->positional[0],
                         a->Value("--scenario", kBuiltInScenario), a->Value("--train", kBuiltInTrain),
                         io.separator, report, names, status);
}

}  // namespace

int ServeCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  ParsedArgs a;
  ViewRequest rq;
  int status = kExitFailed;
  if (!ParseScenario(args, {{"--port", true}, {"--write", false}}, io, report, &a, &rq.names, &status))
    return status;
  unsigned long port = 0;
  const std::string port_text = a.Value("--port", "0");
  if (port_text.empty() || port_text.find_first_not_of("0123456789") != std::string::npos ||
      (port = std::stoul(port_text.substr(0, 6))) > 65535)
    return report.WrongUsage("--port takes a number from 0 to 65535, not '" + port_text + "'");
  rq.files = a.Has("--write") ? BinaryFiles::kWriteIfNoFault : BinaryFiles::kNone;

  PreviewServer server;
  std::string err;
  if (!server.Listen(static_cast<uint16_t>(port), &err)) return report.Fail(err);
  auto build = [&] {
    ViewBuild b = BuildView(io, report, rq);
    for (const std::string& f : b.written) *io.out << PathToUtf8(f) << "\n";
    if (b.hasModel) server.Publish(ViewPageHtml(b.data, Title(rq.names), true), b.data);
    ++rq.generation;
    io.out->flush();
    io.err->flush();
  };
  build();
  *io.out << "serving http://127.0.0.1:" << server.Port() << "/ (Ctrl+C stops)\n";
  io.out->flush();
  TextWatcher watcher(*io.fs, SourcePaths(rq.names), kSettle);
  watcher.Changed(TextWatcher::Clock::now());
  server.Run(kLookEvery, [&] {
    if (watcher.Changed(TextWatcher::Clock::now())) build();
  });
  *io.out << "stopped\n";
  return kExitOk;
}

int WatchCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  ParsedArgs a;
  ViewRequest rq;
  int status = kExitFailed;
  if (!ParseScenario(args, {{"--plot", true}}, io, report, &a, &rq.names, &status)) return status;
  const std::string plot = a.Value("--plot", "");
  rq.files = BinaryFiles::kWrite;
  rq.wantData = false;
  rq.wantSvg = !plot.empty();
  auto build = [&] {
    const ViewBuild b = BuildView(io, report, rq);
    for (const std::string& f : b.written) *io.out << PathToUtf8(f) << "\n";
    std::string err;
    if (b.hasModel && !plot.empty()) {
      if (io.fs->ReplaceFile(plot, b.svg, &err))
        *io.out << PathToUtf8(plot) << "\n";
      else
        report.Fail("cannot write " + PathToUtf8(plot) + ": " + PathToUtf8(err));
    }
    io.out->flush();
    io.err->flush();
  };
  build();
  *io.out << "watching " << PathToUtf8(SourcePaths(rq.names)[0]) << " and "
          << PathToUtf8(SourcePaths(rq.names)[1]) << " (Ctrl+C stops)\n";
  io.out->flush();
  TextWatcher watcher(*io.fs, SourcePaths(rq.names), kSettle);
  watcher.Changed(TextWatcher::Clock::now());
  RunUntilInterrupted(kLookEvery, [&] {
    if (watcher.Changed(TextWatcher::Clock::now())) build();
  });
  *io.out << "stopped\n";
  return kExitOk;
}

}  // namespace sb
