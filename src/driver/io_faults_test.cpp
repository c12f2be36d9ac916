// A file step that fails while the run writes the scenario: at every step of every file,
// in memory, and on a real folder where a directory stands in a file's way.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "driver/file_names.h"
#include "driver/file_system.h"
#include "driver/platform.h"
#include "driver/run.h"

namespace sb {
namespace {

namespace fs = std::filesystem;

constexpr char kDir[] = "/scn";

// The eight files in the order the run writes them.
constexpr ScenarioFile kOrder[] = {
    ScenarioFile::kRouteSource,   ScenarioFile::kTrainSource, ScenarioFile::kNotes,
    ScenarioFile::kSlowdownOrder, ScenarioFile::kTrainCard,   ScenarioFile::kLineData,
    ScenarioFile::kTrainSettings, ScenarioFile::kTrack};

int Index(ScenarioFile f) {
  for (int k = 0; k < 8; ++k)
    if (kOrder[k] == f) return k;
  return -1;
}
bool IsSource(ScenarioFile f) {
  return f == ScenarioFile::kRouteSource || f == ScenarioFile::kTrainSource;
}
bool IsBinary(ScenarioFile f) { return Index(f) >= Index(ScenarioFile::kLineData); }

std::string Name(ScenarioFile f) { return NomeFile("Torbena-Sarvico-Zeva", "47302", f); }

// What an earlier run might have left: short, recognisable, and not what this run writes.
std::string Previous(ScenarioFile f) { return "previous " + Name(f) + "\r\n"; }

// Every file as a complete run writes it (the two source texts as written, before the
// compile reads and deletes them), by logging the writes of a clean run in memory.
class CapturingFileSystem : public MemoryFileSystem {
 public:
  bool ReplaceFile(const std::string& path, std::string_view contents, std::string* err) override {
    written[path] = std::string(contents);
    return MemoryFileSystem::ReplaceFile(path, contents, err);
  }
  std::map<std::string, std::string> written;
};

const std::map<std::string, std::string>& Complete() {
  static const std::map<std::string, std::string> files = [] {
    CapturingFileSystem mem;
    Form1 form;
    form.fs = &mem;
    form.BaseDirectory = kDir;
    form.Separator = '/';
    RecordingPlatform platform(kDir);
    EXPECT_EQ(Form_Load(form, platform), 0);
    return mem.written;
  }();
  return files;
}
const std::string& CompleteBytes(ScenarioFile f) {
  return Complete().at(std::string(kDir) + "/" + Name(f));
}

// What the folder must hold, file by file, after a failure at `failing`: the files before
// it as this run wrote them (the source texts gone once the compile has read them), the
// failing file and those after it as the earlier run left them.
enum class Expect { kComplete, kPrevious, kAbsent };
Expect Expected(ScenarioFile f, ScenarioFile failing) {
  if (Index(f) >= Index(failing)) return Expect::kPrevious;
  if (IsSource(f) && IsBinary(failing)) return Expect::kAbsent;
  return Expect::kComplete;
}

const char* StepName(WriteStep s) {
  switch (s) {
    case WriteStep::kCreate: return "Create";
    case WriteStep::kWrite: return "Write";
    case WriteStep::kFlush: return "Flush";
    case WriteStep::kRename: return "Rename";
  }
  return "?";
}

struct FaultCase {
  ScenarioFile file;
  WriteStep step;
};

class InjectedWriteFault : public ::testing::TestWithParam<FaultCase> {};

TEST_P(InjectedWriteFault, EndsTheRunNamingTheFileAndLosesNothing) {
  const FaultCase c = GetParam();
  ASSERT_EQ(Complete().size(), 8u);

  MemoryFileSystem mem;
  for (ScenarioFile f : kOrder) mem.files()[std::string(kDir) + "/" + Name(f)] = Previous(f);
  const std::string failing = std::string(kDir) + "/" + Name(c.file);
  mem.FailReplace(failing, c.step);
  Form1 form;
  form.fs = &mem;
  form.BaseDirectory = kDir;
  form.Separator = '/';
  RecordingPlatform platform(kDir);

  EXPECT_NE(Form_Load(form, platform), 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find(failing), std::string::npos) << platform.messages[0];

  std::set<std::string> expected_names;
  for (ScenarioFile f : kOrder) {
    const std::string path = std::string(kDir) + "/" + Name(f);
    SCOPED_TRACE(Name(f));
    switch (Expected(f, c.file)) {
      case Expect::kComplete:
        expected_names.insert(path);
        ASSERT_TRUE(mem.Exists(path));
        EXPECT_TRUE(mem.files().at(path) == CompleteBytes(f)) << "not the complete new version";
        break;
      case Expect::kPrevious:
        expected_names.insert(path);
        ASSERT_TRUE(mem.Exists(path));
        EXPECT_EQ(mem.files().at(path), Previous(f));
        break;
      case Expect::kAbsent:
        EXPECT_FALSE(mem.Exists(path));
        break;
    }
  }
  std::set<std::string> names;
  for (const auto& [path, bytes] : mem.files()) names.insert(path);
  EXPECT_EQ(names, expected_names) << "the folder holds other files";
}

std::vector<FaultCase> AllCases() {
  std::vector<FaultCase> cases;
  for (ScenarioFile f : kOrder)
    for (WriteStep s : {WriteStep::kCreate, WriteStep::kWrite, WriteStep::kFlush, WriteStep::kRename})
      cases.push_back({f, s});
  return cases;
}

std::string CaseName(const ::testing::TestParamInfo<FaultCase>& info) {
  std::string n = Name(info.param.file);
  std::string id;
  for (char ch : n.substr(n.find('_') + 1))
    id += std::isalnum(static_cast<unsigned char>(ch)) ? ch : '_';
  return id + "_" + StepName(info.param.step);
}

INSTANTIATE_TEST_SUITE_P(EveryStepOfEveryFile, InjectedWriteFault, ::testing::ValuesIn(AllCases()),
                         CaseName);

#ifndef _WIN32
// On a real folder: a directory where a file must go makes its replacement fail even for
// the superuser (the new version cannot be renamed over a directory).
std::string ReadAll(const fs::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

class DirectoryInTheWay : public ::testing::TestWithParam<ScenarioFile> {
 protected:
  void SetUp() override {
    std::string tmpl = (fs::temp_directory_path() / "sb-io-faults-XXXXXX").string();
    ASSERT_NE(mkdtemp(tmpl.data()), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  fs::path dir_;
};

TEST_P(DirectoryInTheWay, EndsTheRunNamingTheFileAndLosesNothing) {
  const ScenarioFile blocked = GetParam();
  ASSERT_EQ(Complete().size(), 8u);
  for (ScenarioFile f : kOrder) {
    if (f == blocked) {
      fs::create_directory(dir_ / Name(f));
      std::ofstream(dir_ / Name(f) / "inside.txt", std::ios::binary) << "kept";
    } else {
      std::ofstream(dir_ / Name(f), std::ios::binary) << Previous(f);
    }
  }
  auto real = MakeRealFileSystem();
  Form1 form;
  form.fs = real.get();
  form.BaseDirectory = dir_.string();
  form.Separator = '/';
  RecordingPlatform platform(dir_.string());

  EXPECT_NE(Form_Load(form, platform), 0);
  ASSERT_EQ(platform.messages.size(), 1u);
  EXPECT_NE(platform.messages[0].find((dir_ / Name(blocked)).string()), std::string::npos)
      << platform.messages[0];

  std::set<std::string> expected_names;
  for (ScenarioFile f : kOrder) {
    const fs::path p = dir_ / Name(f);
    SCOPED_TRACE(Name(f));
    if (f == blocked) {
      expected_names.insert(Name(f));
      ASSERT_TRUE(fs::is_directory(p));
      EXPECT_EQ(ReadAll(p / "inside.txt"), "kept");
      continue;
    }
    switch (Expected(f, blocked)) {
      case Expect::kComplete:
        expected_names.insert(Name(f));
        ASSERT_TRUE(fs::is_regular_file(p));
        EXPECT_TRUE(ReadAll(p) == CompleteBytes(f)) << "not the complete new version";
        break;
      case Expect::kPrevious:
        expected_names.insert(Name(f));
        ASSERT_TRUE(fs::is_regular_file(p));
        EXPECT_EQ(ReadAll(p), Previous(f));
        break;
      case Expect::kAbsent:
        EXPECT_FALSE(fs::exists(p));
        break;
    }
  }
  std::set<std::string> names;
  for (const auto& e : fs::directory_iterator(dir_)) names.insert(e.path().filename().string());
  EXPECT_EQ(names, expected_names) << "a temporary file was left behind";
}

INSTANTIATE_TEST_SUITE_P(RealFolder, DirectoryInTheWay,
                         ::testing::Values(ScenarioFile::kNotes, ScenarioFile::kTrainSettings),
                         [](const ::testing::TestParamInfo<ScenarioFile>& info) {
                           return info.param == ScenarioFile::kNotes ? std::string("Notes")
                                                                     : std::string("TrainSettings");
                         });
#endif  // _WIN32

}  // namespace
}  // namespace sb
