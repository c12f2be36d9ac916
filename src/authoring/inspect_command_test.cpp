#include "authoring/inspect_command.h"

#include <gtest/gtest.h>

#include "command_run.h"
#include "driver/run.h"
#include "memory_file_system.h"
#include "platform/platform.h"
#include "recording_platform.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::CommandResult;
using testing::JsonOut;
using testing::RunInMemory;

const std::string kTrack = "/exe/Torbena-Sarvico-Zeva_47302.dat";
const std::string kSettings = "/exe/Torbena-Sarvico-Zeva_47302.sim";
const std::string kLineData = "/exe/Torbena-Sarvico-Zeva_linea.dat";

// The files of the default run, made once in memory.
MemoryFileSystem& DefaultRun() {
  static MemoryFileSystem* fs = [] {
    auto* m = new MemoryFileSystem;
    RecordingPlatform platform("/exe");
    Form1 form;
    form.run.fs = m;
    form.run.folder = "/exe";
    EXPECT_EQ(Form_Load(form, platform), 0);
    return m;
  }();
  return *fs;
}

TEST(InspectCommand, TrackListsSignalsAndStationsByPosition) {
  CommandResult r = RunInMemory(DefaultRun(), {"inspect", kTrack});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n    161      8000  signal "), std::string::npos);
  EXPECT_NE(r.out.find("stop mark of the station in row 1, 'TORBENA S.M.N.' at 0 m"), std::string::npos);
  EXPECT_NE(r.out.find("'ZEVA TERMINI' at 376000 m"), std::string::npos);
  EXPECT_NE(r.out.find("(n - 1) x 50 m"), std::string::npos);  // how positions are derived

  const nlohmann::json j = JsonOut(RunInMemory(DefaultRun(), {"inspect", kTrack, "--json"}));
  EXPECT_EQ(j.at("cells").get<int64_t>(), 7661);
  EXPECT_EQ(j.at("names").get<std::string>(), kSettings);
  int signals = 0, stations = 0;
  bool signal_at_8000 = false;
  for (const nlohmann::json& item : j.at("items")) {
    if (item.at("item").get<std::string>() == "signal") ++signals;
    if (item.at("item").get<std::string>() == "station stop mark") ++stations;
    if (item.at("cell").get<int64_t>() == 161) {
      signal_at_8000 = true;
      EXPECT_EQ(item.at("position").get<int64_t>(), 8000);
      EXPECT_EQ(item.at("item").get<std::string>(), "signal");
      const std::vector<long long> values = {42, 11, 11, 8, 0};
      for (size_t k = 0; k < values.size(); ++k)
        EXPECT_EQ(item.at("values").at(k).get<int64_t>(), values[k]);
      EXPECT_EQ(item.at("speedLimitKmh").get<int64_t>(), 250);
      EXPECT_EQ(item.at("adhesion").get<int64_t>(), 100);
    }
    if (item.at("cell").get<int64_t>() == 159) {
      EXPECT_EQ(item.at("approachMark").get<int64_t>(), 81);
    }
  }
  EXPECT_TRUE(signal_at_8000);
  EXPECT_EQ(signals, 132);
  EXPECT_EQ(stations, 23);
  // The profile runs cover every cell once, in order.
  long long next = 0;
  for (const nlohmann::json& run : j.at("profile")) {
    EXPECT_EQ(run.at("firstCell").get<int64_t>(), next);
    next = run.at("lastCell").get<int64_t>() + 1;
  }
  EXPECT_EQ(next, 7661);
  // Cells 0 to 19: 6 x 5 km/h.
  EXPECT_EQ(j.at("profile").at(0).at("speedLimitKmh").get<int64_t>(), 30);
  EXPECT_EQ(j.at("profile").at(0).at("lastCell").get<int64_t>(), 19);
}

TEST(InspectCommand, SettingsRowsWithTheirMeaning) {
  CommandResult r = RunInMemory(DefaultRun(), {"inspect", kSettings});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n    1  station 'TORBENA S.M.N.' at 0 m: kind 8, extent -1000 to 1000 m"),
            std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n   80  indication board text '(   INIZIO LINEA)(   DIRETTISSIMA)'"),
            std::string::npos);
  EXPECT_NE(r.out.find("\n   85  line 'Torbena-Sarvico-Zeva': "), std::string::npos);
  EXPECT_EQ(r.out.find("\n    0  "), std::string::npos);  // cleared rows are left out

  const nlohmann::json j = JsonOut(RunInMemory(DefaultRun(), {"inspect", kSettings, "--json"}));
  EXPECT_EQ(j.at("rowCount").get<int64_t>(), 87);
  std::vector<long long> rows;
  for (const nlohmann::json& row : j.at("rows")) rows.push_back(row.at("row").get<int64_t>());
  std::vector<long long> want;
  for (int k = 1; k <= 23; ++k) want.push_back(k);
  for (int k : {79, 80, 84, 85, 86}) want.push_back(k);
  EXPECT_EQ(rows, want);
  EXPECT_EQ(j.at("rows").at(25).at("meaning").get<std::string>(), "train");
  EXPECT_EQ(j.at("rows").at(26).at("stationValue1").get<int64_t>(), 610);
}

TEST(InspectCommand, SettingsTextsBecomeUtf8) {
  testing::MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource,
        testing::RouteLines(10000, {"cartello_indicatore, 1000, CITT\xC0 \x93VECCHIA\x94"}));
  s.Put(ScenarioFile::kTrainSource, testing::Train());
  ASSERT_EQ(RunInMemory(s.fs, {"compile", "/scn"}).status, 0);
  CommandResult r = RunInMemory(s.fs, {"inspect", s.Path(ScenarioFile::kTrainSettings), "--json"});
  const nlohmann::json j = JsonOut(r);
  bool found = false;
  for (const nlohmann::json& row : j.at("rows"))
    if (row.at("row").get<int64_t>() == 80) {
      found = true;
      EXPECT_EQ(row.at("name").get<std::string>(), "CITT\xC3\x80 \xE2\x80\x9CVECCHIA\xE2\x80\x9D");
    }
  EXPECT_TRUE(found) << r.out;
  // The table names the board from the settings file beside the track, in UTF-8 too.
  CommandResult t = RunInMemory(s.fs, {"inspect", s.Path(ScenarioFile::kTrack)});
  EXPECT_NE(t.out.find("text in row 80: 'CITT\xC3\x80 \xE2\x80\x9CVECCHIA\xE2\x80\x9D'"), std::string::npos)
      << t.out;
}

TEST(InspectCommand, LineDataEvery1000Metres) {
  CommandResult r = RunInMemory(DefaultRun(), {"inspect", kLineData});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("\n   12000    -4597.548    10414.671"), std::string::npos) << r.out.substr(0, 2000);
  EXPECT_NE(r.out.find("Total length: 383000 m"), std::string::npos);

  const nlohmann::json j = JsonOut(RunInMemory(DefaultRun(), {"inspect", kLineData, "--json"}));
  EXPECT_EQ(j.at("points").get<int64_t>(), 383001);
  EXPECT_EQ(j.at("totalLength").get<int64_t>(), 383000);
  ASSERT_EQ(j.at("samples").size(), 384u);
  EXPECT_EQ(j.at("samples").at(0).at("heading").get<double>(), 0);
  EXPECT_TRUE(j.at("samples").at(383).at("x").is_null());  // the last two points stay empty
  EXPECT_EQ(j.at("end").at("metre").get<int64_t>(), 382998);
}

TEST(InspectCommand, TruncatedOrUnknownFilesAreRefused) {
  MemoryFileSystem& def = DefaultRun();
  const std::string& track = def.files().at(kTrack);
  const std::string& settings = def.files().at(kSettings);
  const std::string& line = def.files().at(kLineData);
  struct Case {
    std::string path, bytes;
    std::vector<std::string> extra;
    std::string error;
  };
  const Case cases[] = {
      {"/t/a_1.dat", track.substr(0, track.size() - 1), {}, "not a valid track file: the file is 114914 bytes long"},
      {"/t/a_1.sim", settings.substr(0, settings.size() - 3), {}, "not a valid train settings file: record 86 "},
      {"/t/a_linea.dat", line.substr(0, line.size() - 1), {}, "not a valid line data file: element "},
      {"/t/a_linea.dat", line.substr(0, 4), {}, "an odd number"},
      {"/t/a_1.sim", std::string(3, '\x07'), {}, "cut short (truncated file)"},
      {"/t/a.bin", track, {}, "cannot tell the kind of /t/a.bin"},
      {"/t/a.bin", track, {"--kind", "tracks"}, "--kind must be track, settings or line"},
      {"/t/a_1.dat", "", {"--kind", "line"}, ""},  // an empty file is an empty plan
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path + " " + c.error);
    MemoryFileSystem fs;
    fs.files()[c.path] = c.bytes;
    std::vector<std::string> args = {"inspect", c.path};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    for (bool json : {false, true}) {
      std::vector<std::string> a = args;
      if (json) a.push_back("--json");
      CommandResult r = RunInMemory(fs, a);
      if (c.error.empty()) {
        EXPECT_EQ(r.status, 0) << r.err;
        continue;
      }
      EXPECT_EQ(r.status, 2);
      EXPECT_NE(r.err.find(c.error), std::string::npos) << r.err;
      EXPECT_TRUE(r.out.empty()) << r.out;
    }
  }
  MemoryFileSystem empty;
  CommandResult r = RunInMemory(empty, {"inspect", "/t/none.dat"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot read /t/none.dat: No such file or directory"), std::string::npos);
  // The kind given overrides the name.
  empty.files()["/t/a.bin"] = DefaultRun().files().at(kTrack);
  EXPECT_EQ(RunInMemory(empty, {"inspect", "/t/a.bin", "--kind", "track"}).status, 0);
}

}  // namespace
}  // namespace sb
