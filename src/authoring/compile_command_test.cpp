#include "authoring/compile_command.h"

#include <gtest/gtest.h>

#include <optional>
#include <sstream>

#include "command_run.h"
#include "authoring/commands.h"
#include "authoring/diagnostic_format.h"
#include "compiler/binary_decode.h"
#include "driver/run.h"
#include "memory_file_system.h"
#include "platform/platform.h"
#include "recording_platform.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::CommandResult;
using testing::JsonOut;
using testing::Lines;
using testing::RunInMemory;

const std::string kRoute = "/scn/Torbena-Sarvico-Zeva_linea.txt";
const std::string kTrain = "/scn/Torbena-Sarvico-Zeva_47302-.txt";
const std::string kLineData = "/scn/Torbena-Sarvico-Zeva_linea.dat";
const std::string kSettings = "/scn/Torbena-Sarvico-Zeva_47302.sim";
const std::string kTrack = "/scn/Torbena-Sarvico-Zeva_47302.dat";

// The diagnostic lines on standard error: everything but the quoted source lines under
// their gutter, the notes and help without a place, and the summary that closes it.
std::vector<std::string> Heads(const std::string& err) {
  std::vector<std::string> lines = Lines(err), heads;
  EXPECT_FALSE(lines.empty());
  if (!lines.empty()) lines.pop_back();
  for (const std::string& l : lines)
    if (l.rfind(" ", 0) != 0 && l.rfind("note: ", 0) != 0 && l.rfind("help: ", 0) != 0)
      heads.push_back(l);
  return heads;
}

// The five texts and three binary files of the default run, made in memory.
MemoryFileSystem DefaultRun() {
  MemoryFileSystem fs;
  RecordingPlatform platform("/exe");
  Form1 form;
  form.run.fs = &fs;
  form.run.folder = "/exe";
  EXPECT_EQ(Form_Load(form, platform), 0);
  return fs;
}

TEST(CompileCommand, TextsOfSourcesGiveTheDefaultRunsBinaryFiles) {
  MemoryFileSystem def = DefaultRun();
  MemoryFileSystem fs;
  ASSERT_EQ(RunInMemory(fs, {"sources", "/scn"}).status, 0);
  const std::map<std::string, std::string> texts = fs.files();
  CommandResult r = RunInMemory(fs, {"compile", "/scn"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Heads(r.err), std::vector<std::string>{});
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{kLineData, kSettings, kTrack}));
  for (const char* name : {"Torbena-Sarvico-Zeva_linea.dat", "Torbena-Sarvico-Zeva_47302.sim",
                           "Torbena-Sarvico-Zeva_47302.dat"}) {
    ASSERT_TRUE(def.files().count(std::string("/exe/") + name)) << name;
    EXPECT_TRUE(fs.files().at(std::string("/scn/") + name) ==
                def.files().at(std::string("/exe/") + name))
        << name << " differs from the default run's";
  }
  // The author's texts are all still there, unchanged.
  for (const auto& [path, bytes] : texts) EXPECT_EQ(fs.files().at(path), bytes) << path;
  EXPECT_EQ(fs.files().size(), texts.size() + 3);
}

TEST(CompileCommand, WithoutLineDataTheOtherTwoFilesStayTheSame) {
  MemoryFileSystem def = DefaultRun();
  MemoryFileSystem fs;
  RunInMemory(fs, {"sources", "/scn"});
  CommandResult r = RunInMemory(fs, {"compile", "/scn", "--no-line-data", "--json"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_FALSE(fs.Exists(kLineData));
  EXPECT_TRUE(fs.files().at(kSettings) == def.files().at("/exe/Torbena-Sarvico-Zeva_47302.sim"));
  EXPECT_TRUE(fs.files().at(kTrack) == def.files().at("/exe/Torbena-Sarvico-Zeva_47302.dat"));
  const nlohmann::json j = JsonOut(r);
  ASSERT_EQ(j.at("files").size(), 2u);
  EXPECT_EQ(j.at("files").at(0).get<std::string>(), kSettings);
  EXPECT_EQ(j.at("files").at(1).get<std::string>(), kTrack);
}

TEST(CompileCommand, CheckReadsEverythingAndWritesNothing) {
  testing::MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::Route(10000, {"pendenza, 20000, 1"}));
  s.Put(ScenarioFile::kTrainSource, testing::Train());
  const auto before = s.fs.files();
  CommandResult r = RunInMemory(s.fs, {"compile", "/scn", "--check", "--json"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(s.fs.files(), before);
  const nlohmann::json j = JsonOut(r);
  EXPECT_EQ(j.at("errorCode").get<int64_t>(), 15);
  EXPECT_EQ(j.at("files").size(), 0u);
  EXPECT_NE(r.err.find("checked only, no file written"), std::string::npos) << r.err;
}

TEST(CompileCommand, NamesOfTheScenarioAndTrainGoIntoFileNamesAndSettings) {
  MemoryFileSystem fs;
  fs.files()["/a/Linea-Prova_linea.txt"] = testing::Route(10000);
  fs.files()["/a/Linea-Prova_123-.txt"] = testing::Train({"velocita, 0, 100"});
  CommandResult r = RunInMemory(fs, {"compile", "/a/", "--scenario", "Linea-Prova", "--train=123"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lines(r.out), (std::vector<std::string>{"/a/Linea-Prova_linea.dat",
                                                    "/a/Linea-Prova_123.sim",
                                                    "/a/Linea-Prova_123.dat"}));
  std::vector<StationRecord> rows;
  std::string err;
  ASSERT_TRUE(DecodeTrainSettings(fs.files().at("/a/Linea-Prova_123.sim"), &rows, &err)) << err;
  EXPECT_EQ(rows[kRowLine].name, "Linea-Prova");
  EXPECT_EQ(rows[kRowSignals].name, "123");
}

// ---- Faults and warnings ------------------------------------------------------------------

struct Expected {
  int code;
  std::optional<int> position;
  std::string file;  // "" for null
  std::optional<int> line;
  std::string message_has;
};

struct FaultCase {
  const char* name;
  std::optional<std::string> route, train;
  int status;
  int error_code, error_position;
  bool fatal;
  std::vector<Expected> faults;
  std::vector<Expected> warnings;  // code unused
  std::vector<std::string> heads;  // diagnostic lines on standard error, in order (prefixes)
  std::string first_source_line;   // the line quoted under the first diagnostic, if any
  size_t files;                    // binary files written
};

const std::string kSignal = "segnale, 2000, 2,4,1, 1, 0, 2, 2,1,1, 0";

std::vector<FaultCase> Cases() {
  using testing::RouteLines;
  using testing::TrainLines;
  return {
      {"clean", RouteLines(10000, {"pendenza, 0, 1"}),
       TrainLines({"velocita, 0, 100", "aderenza, 0, 100", kSignal}), 0, 0, 0, false, {}, {}, {}, "", 3},
      {"route: position beyond the track (15)", RouteLines(10000, {"pendenza, 20000, 1"}),
       TrainLines({}), 1, 15, 20000, false,
       {{15, 20000, kRoute, 11, "position 20000 m lies beyond the track"}}, {},
       {kRoute + ":11:11: error: position 20000 m lies beyond the track"}, "pendenza, 20000, 1", 3},
      {"route: board on an occupied cell (6)",
       RouteLines(10000, {"cartello_indicatore, 1000, PRIMO", "cartello_indicatore, 1000, SECONDO"}),
       TrainLines({}), 1, 6, 1000, false,
       {{6, 1000, kRoute, 12, "cell 21 (1000 m), which holds a"}}, {},
       {kRoute + ":12:22: error: the indication board at 1000 m needs cell 21",
        kRoute + ":11:22: note: the indication board already in cell 21 (1000 m) was placed here"},
       "cartello_indicatore, 1000, SECONDO", 3},
      {"train: signal on an occupied cell (16)", RouteLines(10000, {}),
       TrainLines({kSignal, "velocita, 0, 100", kSignal}), 1, 16, 2000, false,
       {{16, 2000, kTrain, 4, "placed by line 2 of the train text"}}, {},
       {kTrain + ":4:10: error: the signal at 2000 m needs cell 41",
        kTrain + ":2:10: note: the signal already in cell 41 (2000 m) was placed here"}, kSignal, 3},
      {"train: station off the 50 m grid (8)", RouteLines(10000, {}),
       TrainLines({"stazione, 1025, 2, 400, 0, 0, 0, 1, 1, 0, 4, 1, 1, 0, 9, 0, 0, PROVA"}), 1, 8,
       1025, false, {{8, 1025, kTrain, 2, "1025 m is not a multiple of 50"}}, {},
       {kTrain + ":2:11: error: "}, "stazione, 1025, 2, 400, 0, 0, 0, 1, 1, 0, 4, 1, 1, 0, 9, 0, 0, PROVA", 3},
      {"train: text missing (25)", RouteLines(10000, {}), std::nullopt, 1, 25, 0, false,
       {{25, std::nullopt, kTrain, std::nullopt, "cannot open the train text " + kTrain}}, {},
       {kTrain + ": error: cannot open the train text"}, "", 3},
      {"cell pass: no room before a slowdown start (12)", RouteLines(10000, {}),
       TrainLines({"abbattimento, 4800, AC", "abbattimento, 4750, AC", "abbattimento, 4700, AC",
                   "rallentamento, 5000, 100, 500, 0, 0, 0"}),
       1, 12, 5050, false,
       {{12, 5050, kTrain, 5, "cell 101 (5000 m): no free cell among cells 96, 95, 94"}},
       {}, {kTrain + ":5:16: error: cell 101 (5000 m): no free cell"}, "rallentamento, 5000, 100, 500, 0, 0, 0", 3},
      {"unknown key: warning only", RouteLines(10000, {"pendnza, 1000, 2"}), TrainLines({}), 0, 0, 0,
       false, {},
       {{0, std::nullopt, kRoute, 11, "unknown key 'pendnza', line ignored (did you mean 'pendenza'?)"}},
       {kRoute + ":11:1: warning: unknown key 'pendnza'"}, "pendnza, 1000, 2", 3},
      {"Windows-1252 bytes become UTF-8", RouteLines(10000, {"pend\xE8nza, 1000, 2"}), TrainLines({}),
       0, 0, 0, false, {},
       {{0, std::nullopt, kRoute, 11, "unknown key 'pend\xC3\xA8nza'"}},
       {kRoute + ":11:1: warning: unknown key 'pend\xC3\xA8nza', line ignored (did you mean 'pendenza'?)"},
       "pend\xC3\xA8nza, 1000, 2", 3},
      {"a key of a megabyte is quoted by its start", RouteLines(10000, {std::string(1 << 20, 'x')}),
       TrainLines({}), 0, 0, 0, false, {},
       {{0, std::nullopt, kRoute, 11, "unknown key '" + std::string(60, 'x') + "...' (1048576 bytes)"}},
       {kRoute + ":11:1: warning: unknown key '" + std::string(60, 'x') +
        "...' (1048576 bytes), line ignored"},
       std::string(kLineShown, 'x') + "...", 3},
      {"short line: warning only", RouteLines(10000, {}),
       TrainLines({"velocita, 0", "100", "aderenza, 0, 100"}), 0, 0, 0, false, {},
       {{0, std::nullopt, kTrain, 2, "column 2 (speed limit) was taken from line 3"}},
       {kTrain + ":2:1: warning: the line 'velocita' has 1 of its 2 values"}, "velocita, 0", 3},
      {"reading order: route before train", RouteLines(10000, {"pendnza, 1000, 2"}),
       TrainLines({kSignal, kSignal}), 1, 16, 2000, false,
       {{16, 2000, kTrain, 3, "the signal at 2000 m"}},
       {{0, std::nullopt, kRoute, 11, "unknown key"}},
       {kRoute + ":11:1: warning: ", kTrain + ":3:10: error: ", kTrain + ":2:10: note: "}, "pendnza, 1000, 2", 3},
      {"fatal: route text missing (101)", std::nullopt, TrainLines({}), 2, 101, 0, true,
       {{101, std::nullopt, kRoute, std::nullopt, "the route text " + kRoute + " does not exist"}}, {},
       {kRoute + ": error: ", kRoute + ": fatal error: no track to compile"}, "", 0},
      {"fatal: no route length", testing::Crlf({"[generale]", "sfondo uno, 1", "[fine]"}),
       TrainLines({}), 2, 0, 0, true, {}, {}, {kRoute + ": fatal error: no track to compile"}, "", 0},
      {"fatal: something at position 0 (1250)", RouteLines(10000, {}),
       TrainLines({"abbattimento, 50, 100"}), 2, 0, 0, true, {}, {},
       {kTrain + ":2:15: fatal error: cell 1 (position 0 m) must take the fixed stamp 5121"},
       "abbattimento, 50, 100", 0},
  };
}

TEST(CompileCommand, FaultsAndWarningsByFileAndLine) {
  for (const FaultCase& c : Cases()) {
    SCOPED_TRACE(c.name);
    testing::MemoryScenario s;
    if (c.route) s.Put(ScenarioFile::kRouteSource, *c.route);
    if (c.train) s.Put(ScenarioFile::kTrainSource, *c.train);
    CommandResult r = RunInMemory(s.fs, {"compile", "/scn", "--json"});
    EXPECT_EQ(r.status, c.status) << r.err;

    const nlohmann::json j = JsonOut(r);
    EXPECT_EQ(j.at("errorCode").get<int64_t>(), c.error_code);
    EXPECT_EQ(j.at("errorPosition").get<int64_t>(), c.error_position);
    EXPECT_EQ(j.at("fatal").is_null(), !c.fatal);
    EXPECT_EQ(j.at("files").size(), c.files);
    EXPECT_FALSE(j.contains("warningsLeftOut"));  // only when a text has more than are kept
    auto check = [&](const nlohmann::json& got, const Expected& want, bool fault) {
      if (fault) {
        EXPECT_EQ(got.at("code").get<int64_t>(), want.code);
        EXPECT_EQ(got.at("position").is_null(), !want.position);
        if (want.position) {
          EXPECT_EQ(got.at("position").get<int64_t>(), *want.position);
        }
      }
      EXPECT_EQ(got.at("file").is_null(), want.file.empty());
      EXPECT_EQ(got.at("file").get<std::string>(), want.file);
      EXPECT_EQ(got.at("line").is_null(), !want.line);
      if (want.line) {
        EXPECT_EQ(got.at("line").get<int64_t>(), *want.line);
      }
      const std::string message = got.at("message").get<std::string>();
      EXPECT_NE(message.find(want.message_has), std::string::npos) << message;
    };
    ASSERT_EQ(j.at("faults").size(), c.faults.size()) << r.out;
    for (size_t k = 0; k < c.faults.size(); ++k) check(j.at("faults").at(k), c.faults[k], true);
    ASSERT_EQ(j.at("warnings").size(), c.warnings.size()) << r.out;
    for (size_t k = 0; k < c.warnings.size(); ++k)
      check(j.at("warnings").at(k), c.warnings[k], false);

    std::vector<std::string> heads = Heads(r.err);
    ASSERT_EQ(heads.size(), c.heads.size()) << r.err;
    for (size_t k = 0; k < heads.size(); ++k)
      EXPECT_EQ(heads[k].substr(0, c.heads[k].size()), c.heads[k]) << r.err;
    std::vector<std::string> lines = Lines(r.err);
    if (!c.first_source_line.empty()) {
      ASSERT_GE(lines.size(), 2u);
      const std::string quoted = " | " + c.first_source_line;
      EXPECT_EQ(lines[1].substr(lines[1].find(" | ")), quoted) << r.err;
    } else if (lines.size() >= 2) {
      EXPECT_EQ(lines[1].find(" | "), std::string::npos) << "no source line expected:\n" << r.err;
    }
    // The author's texts are never deleted, whatever happened.
    EXPECT_EQ(s.Has(ScenarioFile::kRouteSource), c.route.has_value());
    EXPECT_EQ(s.Has(ScenarioFile::kTrainSource), c.train.has_value());
    EXPECT_EQ(s.Has(ScenarioFile::kTrack), c.files > 0);
  }
}

// Source bytes are Windows-1252 and converted once; paths and the system's descriptions are
// UTF-8 already and kept as they are.
TEST(CompileCommand, MessagesKeepTheirCharacters) {
  const std::string route = "/scn/Citt\xC3\xA0_linea.txt";  // "Città"
  const std::string train = "/scn/Citt\xC3\xA0_1-.txt";
  const std::string denied = "Acc\xC3\xA8s refus\xC3\xA9";  // "Accès refusé"
  MemoryFileSystem fs;
  fs.files()[route] = testing::RouteLines(10000, {"pend\xE8nza, 1000, 2"});
  fs.files()[train] = testing::Train();
  fs.FailRead(train, denied);
  CommandResult r =
      RunInMemory(fs, {"compile", "/scn", "--scenario", "Citt\xC3\xA0", "--train", "1", "--json"});
  EXPECT_EQ(r.status, 1) << r.err;
  const std::string fault = "cannot open the train text " + train + ": " + denied;
  const std::string warning = "unknown key 'pend\xC3\xA8nza', line ignored";
  EXPECT_EQ(Heads(r.err), (std::vector<std::string>{
                              route + ":11:1: warning: " + warning + " (did you mean 'pendenza'?)",
                              train + ": error: " + fault + " [fault 25]"}));
  EXPECT_NE(r.err.find("\n 11 | pend\xC3\xA8nza, 1000, 2\n"), std::string::npos) << r.err;
  const nlohmann::json j = JsonOut(r);
  ASSERT_EQ(j.at("faults").size(), 1u);
  EXPECT_EQ(j.at("faults").at(0).at("message").get<std::string>(), fault);
  EXPECT_EQ(j.at("faults").at(0).at("file").get<std::string>(), train);
  ASSERT_EQ(j.at("warnings").size(), 1u);
  EXPECT_EQ(j.at("warnings").at(0).at("message").get<std::string>().substr(0, warning.size()),
            warning);
  EXPECT_EQ(j.at("warnings").at(0).at("file").get<std::string>(), route);
  EXPECT_EQ(j.at("files").at(0).get<std::string>(), "/scn/Citt\xC3\xA0_linea.dat");
}

// The binary files are replaced as one: when the second cannot be, the first keeps its
// earlier version too.
TEST(CompileCommand, AFileThatCannotBeWrittenStopsTheCompile) {
  testing::MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::Route(10000));
  s.Put(ScenarioFile::kTrainSource, testing::Train());
  s.Put(ScenarioFile::kLineData, "earlier line data");
  s.fs.FailReplace(kSettings, WriteStep::kRename);
  const auto before = s.fs.files();
  CommandResult r = RunInMemory(s.fs, {"compile", "/scn", "--json"});
  EXPECT_EQ(r.status, 2);
  const nlohmann::json j = JsonOut(r);
  EXPECT_EQ(j.at("fatal").get<std::string>(), "cannot write " + kSettings +
                                 ": cannot rename over the old file: Permission denied; no binary "
                                 "file is written");
  EXPECT_EQ(j.at("files").size(), 0u);
  EXPECT_EQ(s.fs.files(), before);
  EXPECT_EQ(Heads(r.err), std::vector<std::string>{"scenario-builder: fatal error: " +
                                                   j.at("fatal").get<std::string>()});
}

// A train number "linea" made the track file the line data file's name: the one replaced the
// other, the path was listed twice and the status was 0.
TEST(CompileCommand, NamesThatMakeTwoFilesOneAreRefused) {
  MemoryFileSystem fs;
  fs.files()["/a/L_linea.txt"] = testing::Route(10000);
  fs.files()["/a/L_linea-.txt"] = testing::Train();
  fs.files()["/a/CON.x_linea.txt"] = testing::Route(10000);
  fs.files()["/a/CON.x_1-.txt"] = testing::Train();
  const auto before = fs.files();
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"compile", "/a", "--scenario", "L", "--train", "linea"},
       "the train number 'linea' makes the track file name L_linea.dat equal to the line data "
       "file's"},
      {{"compile", "/a", "--scenario", "CON.x", "--train", "1", "--json"},
       "the scenario name 'CON.x' makes the route text name CON.x_linea.txt, which Windows takes "
       "for the device CON"},
      {{"compile", "/a", "--scenario", "L", "--train", "../linea"},
       "the train number '../linea' contains '/', a path separator"},
  };
  for (const auto& [args, why] : cases) {
    CommandResult r = RunInMemory(fs, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "scenario-builder compile: " + why + "\ntry 'scenario-builder compile --help'\n");
    EXPECT_TRUE(r.out.empty()) << r.out;
    EXPECT_TRUE(fs.files() == before) << "a file was written";
  }
}

// Another run holds the folder: nothing is read or written, and the compile says why.
TEST(CompileCommand, AFolderInUseByAnotherRunIsLeftAlone) {
  for (bool check : {false, true}) {
    testing::MemoryScenario s;
    s.Put(ScenarioFile::kRouteSource, testing::Route(10000));
    s.Put(ScenarioFile::kTrainSource, testing::Train());
    const auto before = s.fs.files();
    std::unique_ptr<FolderLock> other = s.fs.LockFolder("/scn", std::chrono::milliseconds(0));
    ASSERT_TRUE(other);
    std::vector<std::string> args = {"compile", "/scn/", "--json"};
    if (check) args.push_back("--check");
    CommandResult r = RunInMemory(s.fs, args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(s.fs.files(), before);
    const nlohmann::json j = JsonOut(r);
    EXPECT_EQ(j.at("fatal").get<std::string>(),
              "another run of scenario-builder has been using the folder /scn for 60 s without "
              "ending; this run changed no file");
    EXPECT_EQ(j.at("files").size(), 0u);
    EXPECT_EQ(Heads(r.err), std::vector<std::string>{"scenario-builder: fatal error: " +
                                                     j.at("fatal").get<std::string>()});
    other.reset();
    EXPECT_EQ(RunInMemory(s.fs, args).status, 0) << "the lock is free again";
    EXPECT_TRUE(s.fs.locked().empty()) << "the compile releases its lock";
  }
}

TEST(CompileCommand, WrongCommandLines) {
  const std::vector<std::vector<std::string>> cases = {
      {"compile", "--scenario"},          // value missing
      {"compile", "--bogus"},             // unknown option
      {"compile", "a", "b"},              // two folders
      {"compile", "--json", "--json"},    // given twice
      {"compile", "--check=yes"},         // a flag with a value
  };
  for (const auto& args : cases) {
    MemoryFileSystem fs;
    CommandResult r = RunInMemory(fs, args);
    EXPECT_EQ(r.status, 2) << args.back();
    EXPECT_EQ(r.err.rfind("scenario-builder compile: ", 0), 0u) << r.err;
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(fs.files().empty());
  }
}

// ---- Mistakes an author makes -------------------------------------------------------------

struct Mistake {
  const char* name;
  std::optional<std::string> route, train;  // none: the text is not there
  std::vector<std::string> args;            // after "compile"; the folder is /scn unless given
  int status;
  // The first diagnostic: its file, line, column, kind ("error", "warning", "fatal error"),
  // and words of its message; an empty kind: no diagnostic at all.
  std::string file;
  std::optional<int> line, column;
  std::string kind;
  std::string message_has;
};

std::vector<Mistake> Mistakes() {
  using testing::RouteLines;
  using testing::TrainLines;
  const std::string station = ", 2, 400, 0, 0, 0, 1, 1, 0, 4, 1, 1, 0, 9, 0, 0, ";
  const std::string lf_route = "[generale]\nlunghezza percorso, 10000\n[pendenze]\npendenza, 0, 1\n[fine]\n";
  return {
      {"a typo in a key", RouteLines(10000, {"pendnza, 1000, 2"}), TrainLines({}), {}, 0, kRoute, 11, 1,
       "warning", "unknown key 'pendnza', line ignored (did you mean 'pendenza'?)"},
      {"stations out of order", RouteLines(10000, {}),
       TrainLines({"stazione, 6000" + station + "SECONDA", "stazione, 3000" + station + "PRIMA"}), {}, 1,
       kTrain, 3, 11, "error", "[fault 22]"},
      {"two signals in one cell", RouteLines(10000, {}), TrainLines({kSignal, kSignal}), {}, 1, kTrain, 3,
       10, "error", "needs cell 41 (2000 m), which holds a signal placed by line 2"},
      {"a feature line without its section head",
       testing::CrlfLines({"[generale]", "lunghezza percorso, 10000", "pendenza, 0, 1", "[fine]"}),
       TrainLines({}), {}, 0, kRoute, 3, 1, "warning", "stands in the general section, where it is not read"},
      {"a train text without [generale]", RouteLines(10000, {}),
       testing::CrlfLines({"velocita, 0, 100", "[fine]"}), {}, 0, kTrain, 1, 1, "warning",
       "stands before the line \"[generale]\""},
      {"letters in a number", RouteLines(10000, {"pendenza, 12O, 1"}), TrainLines({}), {}, 0, kRoute, 11,
       11, "warning", "reads '12O' as 12"},
      {"UTF-8 text", RouteLines(10000, {"cartello_indicatore, 1000, CITT\xC3\x80"}), TrainLines({}), {},
       0, kRoute, 11, 32, "warning", "looks like UTF-8"},
      {"LF line ends read as CR LF", lf_route, "[generale]\nvelocita, 0, 100\n[fine]\n", {}, 0, "",
       std::nullopt, std::nullopt, "", ""},
      {"an empty route text", std::string(), TrainLines({}), {}, 2, kRoute, 1, 1, "error",
       "the text ends where a field was expected [fault 25]"},
      {"garbage", std::string("\x01\xFF\x00garbage\r\n,,,\x7F", 16), TrainLines({}), {}, 2, kRoute,
       std::nullopt, std::nullopt, "error", "[fault 102]"},
      {"a missing folder", std::nullopt, std::nullopt, {"/nowhere"}, 2,
       "/nowhere/Torbena-Sarvico-Zeva_linea.txt", std::nullopt, std::nullopt, "error", "[fault 101]"},
      {"a wrong train number", RouteLines(10000, {}), TrainLines({}), {"/scn", "--train", "1"}, 1,
       "/scn/Torbena-Sarvico-Zeva_1-.txt", std::nullopt, std::nullopt, "error",
       "cannot open the train text"},
  };
}

std::string HeadOf(const Mistake& m) {
  std::string h = m.file;
  if (m.line) h += ":" + std::to_string(*m.line);
  if (m.column) h += ":" + std::to_string(*m.column);
  return h + ": " + m.kind + ": ";
}

TEST(CompileCommand, MistakesOfAnAuthorAreReportedWhereTheyAre) {
  for (const Mistake& m : Mistakes()) {
    SCOPED_TRACE(m.name);
    testing::MemoryScenario s;
    if (m.route) s.Put(ScenarioFile::kRouteSource, *m.route);
    if (m.train) s.Put(ScenarioFile::kTrainSource, *m.train);
    std::vector<std::string> args = {"compile"};
    if (m.args.empty()) args.push_back("/scn");
    args.insert(args.end(), m.args.begin(), m.args.end());
    CommandResult r = RunInMemory(s.fs, args);
    EXPECT_EQ(r.status, m.status) << r.err;
    const std::vector<std::string> heads = Heads(r.err);
    if (m.kind.empty()) {
      EXPECT_TRUE(heads.empty()) << r.err;
      continue;
    }
    ASSERT_FALSE(heads.empty()) << r.err;
    EXPECT_EQ(heads[0].substr(0, HeadOf(m).size()), HeadOf(m)) << r.err;
    EXPECT_NE(heads[0].find(m.message_has), std::string::npos) << r.err;
  }
}

// What the folder holds instead of a missing text is named, with the option that reads it.
TEST(CompileCommand, AMissingTextNamesWhatTheFolderHolds) {
  testing::MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::Route(10000));
  s.fs.files()["/scn/Torbena-Sarvico-Zeva_2-.txt"] = testing::Train();
  s.fs.files()["/scn/Torbena-Sarvico-Zeva_7-.txt"] = testing::Train();
  CommandResult r = RunInMemory(s.fs, {"compile", "/scn", "--train", "1"});
  EXPECT_NE(r.err.find("\nnote: the train texts of the scenario Torbena-Sarvico-Zeva in /scn: "
                       "Torbena-Sarvico-Zeva_2-.txt (--train 2), Torbena-Sarvico-Zeva_7-.txt "
                       "(--train 7)\n"),
            std::string::npos)
      << r.err;
  r = RunInMemory(s.fs, {"compile", "/scn", "--scenario", "Altra"});
  EXPECT_NE(r.err.find("\nnote: the route texts in /scn: Torbena-Sarvico-Zeva_linea.txt "
                       "(--scenario Torbena-Sarvico-Zeva)\n"),
            std::string::npos)
      << r.err;
  r = RunInMemory(s.fs, {"compile", "/nowhere"});
  EXPECT_NE(r.err.find("\nnote: the folder /nowhere cannot be read: No such file or directory\n"),
            std::string::npos)
      << r.err;
}

// A folder where nothing can be written: the compile stops, names the file, writes nothing.
TEST(CompileCommand, AReadOnlyFolderStopsTheCompile) {
  testing::MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::Route(10000));
  s.Put(ScenarioFile::kTrainSource, testing::Train());
  s.fs.FailReplace(kLineData, WriteStep::kCreate);
  const auto before = s.fs.files();
  CommandResult r = RunInMemory(s.fs, {"compile", "/scn"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(s.fs.files(), before);
  ASSERT_FALSE(Heads(r.err).empty()) << r.err;
  EXPECT_EQ(Heads(r.err)[0].rfind("scenario-builder: fatal error: cannot write " + kLineData, 0), 0u)
      << r.err;
}

// --strict: a warning is a fault, and no binary file is written after either.
TEST(CompileCommand, StrictWritesNothingAfterAWarning) {
  testing::MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::Route(10000, {"pendnza, 1000, 2"}));
  s.Put(ScenarioFile::kTrainSource, testing::Train());
  CommandResult r = RunInMemory(s.fs, {"compile", "/scn", "--strict", "--json"});
  EXPECT_EQ(r.status, 1);
  EXPECT_FALSE(s.Has(ScenarioFile::kTrack));
  EXPECT_FALSE(s.Has(ScenarioFile::kLineData));
  EXPECT_EQ(testing::JsonOut(r).at("files").size(), 0u);
  EXPECT_NE(r.err.find("--strict: no binary file written"), std::string::npos) << r.err;
  // The same texts without --strict: exit 0, the files written.
  EXPECT_EQ(RunInMemory(s.fs, {"compile", "/scn"}).status, 0);
  EXPECT_TRUE(s.Has(ScenarioFile::kTrack));
}

// --json: each diagnostic with its columns, notes, help and fix.
TEST(CompileCommand, JsonGivesColumnsNotesAndHelp) {
  testing::MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::RouteLines(10000, {"pendnza, 1000, 2"}));
  s.Put(ScenarioFile::kTrainSource, testing::TrainLines({kSignal, kSignal}));
  const nlohmann::json j = JsonOut(RunInMemory(s.fs, {"compile", "/scn", "--json"}));
  const nlohmann::json& f = j.at("faults").at(0);
  EXPECT_EQ(f.at("line").get<int>(), 3);
  EXPECT_EQ(f.at("column").get<int>(), 10);
  EXPECT_EQ(f.at("endColumn").get<int>(), 14);
  EXPECT_EQ(f.at("notes").at(0).at("line").get<int>(), 2);
  EXPECT_EQ(f.at("notes").at(0).at("message").get<std::string>(),
            "the signal already in cell 41 (2000 m) was placed here");
  EXPECT_FALSE(f.at("help").get<std::string>().empty());
  const nlohmann::json& w = j.at("warnings").at(0);
  EXPECT_EQ(w.at("column").get<int>(), 1);
  EXPECT_EQ(w.at("endColumn").get<int>(), 8);
  EXPECT_EQ(w.at("fix").at("text").get<std::string>(), "pendenza");
}

// Colour only on a terminal, and never with NO_COLOR or --color=never.
TEST(CompileCommand, ColourOnATerminalOnly) {
  testing::MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::Route(10000, {"pendnza, 1000, 2"}));
  s.Put(ScenarioFile::kTrainSource, testing::Train());
  auto run = [&](bool terminal, bool no_color, std::vector<std::string> args) {
    std::ostringstream out, err;
    CommandIo io{&s.fs, '/', &out, &err, terminal, no_color};
    RunCommand(args, io);
    return err.str().find('\x1B') != std::string::npos;
  };
  EXPECT_TRUE(run(true, false, {"compile", "/scn", "--check"}));
  EXPECT_FALSE(run(false, false, {"compile", "/scn", "--check"}));
  EXPECT_FALSE(run(true, true, {"compile", "/scn", "--check"}));
  EXPECT_FALSE(run(true, false, {"compile", "/scn", "--check", "--color=never"}));
  EXPECT_TRUE(run(false, true, {"--color=always", "compile", "/scn", "--check"}));
  EXPECT_FALSE(run(true, false, {"compile", "/scn", "--color", "never"}));
}

}  // namespace
}  // namespace sb
