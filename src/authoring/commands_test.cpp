// End to end: the built program, run in a directory of its own.
#include "authoring/commands.h"

#include <gtest/gtest.h>

#include "authoring/version.h"
#include "command_run.h"
#include "memory_file_system.h"

namespace sb {
namespace {

using testing::CommandResult;
using testing::RunInMemory;

// The list of commands is made from the table; the text is what it has always been.
TEST(Commands, ProgramHelpListsTheCommandsOfTheTable) {
  const std::string want =
      "usage: scenario-builder\n"
      "       scenario-builder COMMAND [ARGUMENTS] [--help]\n"
      "       scenario-builder --help | --version\n"
      "       (every command also takes --color=auto|always|never)\n"
      "\n"
      "Without arguments, builds the built-in scenario Torbena-Sarvico-Zeva (train 47302)\n"
      "next to the executable: the notes, the slowdown order form, the train card and the\n"
      "three binary files of the simulator.\n"
      "\n"
      "Commands for scenario authors:\n"
      "  compile    compile a route text and a train text into the binary files,\n"
      "             reporting every fault by file and line\n"
      "  sources    write the five texts of the built-in scenario, as a starting point\n"
      "  inspect    show what a track, train settings or line data file holds\n"
      "  plot       draw the plan and the profile of a compiled scenario as an SVG\n"
      "             picture\n"
      "  explain    describe a fault code, or a key of the texts with its columns\n"
      "  lsp        the language server for editors: faults as you type, fields explained\n"
      "  decompile  turn the binary files back into texts that compile to the same bytes\n"
      "  view       write an interactive page of the plan and the profile, from the texts\n"
      "             or the binary files\n"
      "  serve      show the viewer page on a local server, redrawn on each save\n"
      "  watch      compile the texts again whenever one is saved\n"
      "\n"
      "'scenario-builder COMMAND --help' describes a command.\n";
  MemoryFileSystem fs;
  for (const char* ask : {"--help", "-h", "help"}) {
    CommandResult help = RunInMemory(fs, {ask});
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(help.out, want) << ask;
    EXPECT_TRUE(help.err.empty());
  }
}

TEST(Commands, EachCommandsHelpComesFromTheTable) {
  MemoryFileSystem fs;
  ASSERT_EQ(Commands().size(), 10u);
  for (const CommandInfo& c : Commands()) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(std::string(c.help).rfind(std::string("usage: scenario-builder ") + c.name + " ", 0),
              0u);
    const std::vector<std::vector<std::string>> asks = {
        {c.name, "--help"}, {c.name, "-h"}, {c.name, "x", "--bogus", "--help"}};
    for (const std::vector<std::string>& ask : asks) {
      CommandResult r = RunInMemory(fs, ask);
      EXPECT_EQ(r.status, 0);
      EXPECT_EQ(r.out, c.help);
      EXPECT_TRUE(r.err.empty()) << r.err;
    }
    // After "--" a "--help" is an argument like any other.
    CommandResult r = RunInMemory(fs, {c.name, "a", "--", "--help"});
    EXPECT_EQ(r.status, 2);
    EXPECT_TRUE(r.out.empty()) << r.out;
  }
  EXPECT_TRUE(fs.files().empty());
}

TEST(Commands, VersionAndUnknownCommands) {
  MemoryFileSystem fs;
  CommandResult version = RunInMemory(fs, {"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_EQ(version.out, std::string("scenario-builder ") + Version() + "\n");
  CommandResult unknown = RunInMemory(fs, {"compiel"});
  EXPECT_EQ(unknown.status, 2);
  EXPECT_EQ(unknown.err, "scenario-builder: unknown command 'compiel' (did you mean 'compile'?)\n"
                         "try 'scenario-builder --help'\n");
  EXPECT_TRUE(unknown.out.empty());
  EXPECT_TRUE(fs.files().empty());
}

#ifndef _WIN32
TEST(Commands, EndToEndSourcesCompileInspectPlot) {
  const std::string dir = testing::FreshDirectory("commands");
  CommandResult r = testing::RunExecutable(dir, {"sources"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::Lines(r.out).size(), 5u);
  // A folder that does not exist yet is made.
  r = testing::RunExecutable(dir, {"sources", "my-line/a"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(testing::Lines(r.out).front(), "my-line/a/Torbena-Sarvico-Zeva_linea.txt");
  EXPECT_FALSE(testing::ReadBytes(dir + "/my-line/a/Torbena-Sarvico-Zeva_47302-.txt").empty());

  r = testing::RunExecutable(dir, {"compile", "--json"});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json j = testing::JsonOut(r);
  EXPECT_EQ(j.at("errorCode").get<int64_t>(), 0);
  ASSERT_EQ(j.at("files").size(), 3u);
  EXPECT_EQ(j.at("files").at(2).get<std::string>(), "./Torbena-Sarvico-Zeva_47302.dat");
  EXPECT_EQ(testing::ReadBytes(dir + "/Torbena-Sarvico-Zeva_47302.dat").size(), 114915u);
  // The texts are still there.
  EXPECT_FALSE(testing::ReadBytes(dir + "/Torbena-Sarvico-Zeva_linea.txt").empty());

  for (const char* file : {"Torbena-Sarvico-Zeva_47302.dat", "Torbena-Sarvico-Zeva_47302.sim",
                           "Torbena-Sarvico-Zeva_linea.dat"}) {
    r = testing::RunExecutable(dir, {"inspect", file, "--json"});
    ASSERT_EQ(r.status, 0) << file << r.err;
    EXPECT_TRUE(nlohmann::json::accept(r.out)) << file;
  }
  r = testing::RunExecutable(dir, {"plot", "--out", "plan.svg"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(testing::ReadBytes(dir + "/plan.svg").find("ZEVA TERMINI"), std::string::npos);

  // A track file cut short: a clear error and exit status 2.
  std::string track = testing::ReadBytes(dir + "/Torbena-Sarvico-Zeva_47302.dat");
  testing::WriteBytes(dir + "/cut_1.dat", track.substr(0, 1000 * 15 + 7));
  r = testing::RunExecutable(dir, {"inspect", "cut_1.dat"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "scenario-builder inspect: cut_1.dat: not a valid track file: the file is 15007 "
                   "bytes long, not a whole number of 15-byte cell records (truncated or not a "
                   "track file)\n");
  EXPECT_TRUE(r.out.empty());

  // A compile with a fault: exit status 1, the fault on standard error.
  testing::WriteBytes(dir + "/Prova_linea.txt",
                      "[generale]\r\nlunghezza percorso, 10000\r\n[curve]\r\npendenza, 20000, 1\r\n[fine]\r\n");
  testing::WriteBytes(dir + "/Prova_1-.txt", "[generale]\r\n[fine]\r\n");
  r = testing::RunExecutable(dir, {"compile", ".", "--scenario", "Prova", "--train", "1"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("./Prova_linea.txt:4:11: error: position 20000 m lies beyond the track", 0), 0u)
      << r.err;

  r = testing::RunExecutable(dir, {"compile", "--bogus"});
  EXPECT_EQ(r.status, 2);
}
#endif

}  // namespace
}  // namespace sb
