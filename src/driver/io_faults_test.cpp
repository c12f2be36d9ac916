// A file step that fails while the run writes the scenario: at every step of every file,
// in memory, and on a real folder where a directory stands in a file's way. The texts are
// replaced one by one, the three binary files as one: all new or all as they were.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>

#include "driver/run.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "memory_file_system.h"
#include "platform/platform.h"
#include "recording_platform.h"

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

std::string Name(ScenarioFile f) { return ScenarioFileName("Torbena-Sarvico-Zeva", "47302", f); }

// What an earlier run might have left: short, recognisable, and not what this run writes.
std::string Previous(ScenarioFile f) { return "previous " + Name(f) + "\r\n"; }

// Every file as a complete run writes it (the two source texts as written, before the
// compile reads and deletes them), by logging the writes of a clean run in memory.
class CapturingFileSystem : public MemoryFileSystem {
 public:
  bool ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError* error) override {
    for (const FileToWrite& f : files) {
      std::string& bytes = written[f.path];
      bytes.clear();
      f.produce([&](std::string_view piece) { bytes.append(piece); });
    }
    return MemoryFileSystem::ReplaceFiles(files, error);
  }
  std::map<std::string, std::string> written;
};

const std::map<std::string, std::string>& Complete() {
  static const std::map<std::string, std::string> files = [] {
    CapturingFileSystem mem;
    Form1 form;
    form.run.fs = &mem;
    form.run.folder = kDir;
    form.run.separator = '/';
    RecordingPlatform platform(kDir);
    EXPECT_EQ(Form_Load(form, platform), 0);
    return mem.written;
  }();
  return files;
}
const std::string& CompleteBytes(ScenarioFile f) {
  return Complete().at(std::string(kDir) + "/" + Name(f));
}

// What the folder must hold, file by file, after a failure at `failing`: the texts before
// it as this run wrote them (the source texts gone once the compile has read them), the
// failing file and those after it as the earlier run left them; and the three binary files
// as the earlier run left them whichever of them failed.
enum class Expect { kComplete, kPrevious, kAbsent };
Expect Expected(ScenarioFile f, ScenarioFile failing) {
  if (IsBinary(f) && IsBinary(failing)) return Expect::kPrevious;
  if (Index(f) >= Index(failing)) return Expect::kPrevious;
  if (IsSource(f) && IsBinary(failing)) return Expect::kAbsent;
  return Expect::kComplete;
}

// The promise itself: the binary files are all of this run or none is.
void ExpectAllOrNoBinaryFileNew(const std::map<std::string, std::string>& by_name) {
  int fresh = 0;
  for (ScenarioFile f : kOrder) {
    auto it = by_name.find(Name(f));
    if (IsBinary(f) && it != by_name.end() && it->second == CompleteBytes(f)) ++fresh;
  }
  EXPECT_TRUE(fresh == 0 || fresh == 3) << fresh << " of the 3 binary files are new";
}

const char* StepName(WriteStep s) {
  switch (s) {
    case WriteStep::kCreate: return "Create";
    case WriteStep::kWrite: return "Write";
    case WriteStep::kFlush: return "Flush";
    case WriteStep::kKeepOld: return "KeepOld";
    case WriteStep::kRename: return "Rename";
    case WriteStep::kPutBack: return "PutBack";
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
  form.run.fs = &mem;
  form.run.folder = kDir;
  form.run.separator = '/';
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
  std::map<std::string, std::string> by_name;
  for (const auto& [path, bytes] : mem.files()) {
    names.insert(path);
    by_name[path.substr(path.rfind('/') + 1)] = bytes;
  }
  EXPECT_EQ(names, expected_names) << "the folder holds other files";
  ExpectAllOrNoBinaryFileNew(by_name);
}

// Every step of every file. A binary file followed by another is kept under a second name
// before the rename over it, so that it can be put back if a later rename fails.
std::vector<FaultCase> AllCases() {
  std::vector<FaultCase> cases;
  for (ScenarioFile f : kOrder) {
    cases.push_back({f, WriteStep::kCreate});
    cases.push_back({f, WriteStep::kWrite});
    cases.push_back({f, WriteStep::kFlush});
    if (IsBinary(f) && f != ScenarioFile::kTrack) cases.push_back({f, WriteStep::kKeepOld});
    cases.push_back({f, WriteStep::kRename});
  }
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

struct Blocked {
  const char* name;
  ScenarioFile file;        // a directory stands where it goes
  bool line_data_before;    // whether an earlier run left a line data file
};

class DirectoryInTheWay : public ::testing::TestWithParam<Blocked> {
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
  const ScenarioFile blocked = GetParam().file;
  const bool line_data_before = GetParam().line_data_before;
  ASSERT_EQ(Complete().size(), 8u);
  for (ScenarioFile f : kOrder) {
    if (f == blocked) {
      fs::create_directory(dir_ / Name(f));
      std::ofstream(dir_ / Name(f) / "inside.txt", std::ios::binary) << "kept";
    } else if (f != ScenarioFile::kLineData || line_data_before) {
      std::ofstream(dir_ / Name(f), std::ios::binary) << Previous(f);
    }
  }
  auto real = MakeRealFileSystem();
  Form1 form;
  form.run.fs = real.get();
  form.run.folder = dir_.string();
  form.run.separator = '/';
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
    Expect e = Expected(f, blocked);
    if (f == ScenarioFile::kLineData && !line_data_before && e == Expect::kPrevious)
      e = Expect::kAbsent;
    switch (e) {
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
  std::map<std::string, std::string> by_name;
  for (const auto& e : fs::directory_iterator(dir_)) {
    names.insert(e.path().filename().string());
    if (e.is_regular_file()) by_name[e.path().filename().string()] = ReadAll(e.path());
  }
  EXPECT_EQ(names, expected_names) << "a temporary file or a second name was left behind";
  ExpectAllOrNoBinaryFileNew(by_name);
}

// A text; the second and the third binary file, when the files before them were renamed
// over their earlier versions already (and, for the last, one that had none before).
INSTANTIATE_TEST_SUITE_P(
    RealFolder, DirectoryInTheWay,
    ::testing::Values(Blocked{"Notes", ScenarioFile::kNotes, true},
                      Blocked{"TrainSettings", ScenarioFile::kTrainSettings, true},
                      Blocked{"Track", ScenarioFile::kTrack, true},
                      Blocked{"TrackNoLineDataBefore", ScenarioFile::kTrack, false}),
    [](const ::testing::TestParamInfo<Blocked>& info) { return std::string(info.param.name); });
#endif  // _WIN32

}  // namespace
}  // namespace sb
