#include "driver/run.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <random>
#include <set>

#include "compiler/binary_decode.h"
#include "driver/file_names.h"
#include "driver/file_system.h"
#include "scenario/scenario_texts.h"
#include "scenario/text_file.h"

namespace sb {
namespace {

namespace fs = std::filesystem;

constexpr char kExeDir[] = "/giochi/treni";

// Every file of the scenario, in the order of the run.
constexpr ScenarioFile kAll[] = {
    ScenarioFile::kRouteSource, ScenarioFile::kTrainSource,   ScenarioFile::kNotes,
    ScenarioFile::kSlowdownOrder, ScenarioFile::kTrainCard,   ScenarioFile::kLineData,
    ScenarioFile::kTrainSettings, ScenarioFile::kTrack};
constexpr ScenarioFile kKept[] = {
    ScenarioFile::kNotes,    ScenarioFile::kSlowdownOrder, ScenarioFile::kTrainCard,
    ScenarioFile::kLineData, ScenarioFile::kTrainSettings, ScenarioFile::kTrack};

std::string Name(ScenarioFile f) { return NomeFile("Torbena-Sarvico-Zeva", "47302", f); }
std::string Path(ScenarioFile f) { return std::string(kExeDir) + "/" + Name(f); }

// An in-memory folder that logs the file operations of the run, by file name.
class LoggingFileSystem : public FileSystem {
 public:
  explicit LoggingFileSystem(const RecordingPlatform& platform) : platform_(platform) {}

  bool Exists(const std::string& path) override { return mem.Exists(path); }
  bool ReadFile(const std::string& path, std::string* contents, std::string* err) override {
    log.push_back("read " + Base(path));
    return mem.ReadFile(path, contents, err);
  }
  bool ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError* error) override {
    if (windows_at_first_write < 0) windows_at_first_write = platform_.windows_shown;
    for (const FileToWrite& f : files) log.push_back("write " + Base(f.path));
    if (!edit) return mem.ReplaceFiles(files, error);
    std::vector<std::string> changed(files.size());
    std::vector<FileToWrite> edited;
    for (size_t k = 0; k < files.size(); ++k) {
      files[k].produce([&](std::string_view piece) { changed[k].append(piece); });
      edit(files[k].path, changed[k]);
      edited.push_back(BytesToWrite(files[k].path, changed[k]));
    }
    return mem.ReplaceFiles(edited, error);
  }
  bool RemoveFile(const std::string& path, std::string* err) override {
    log.push_back("remove " + Base(path));
    return mem.RemoveFile(path, err);
  }

  MemoryFileSystem mem;
  std::vector<std::string> log;
  // Changes a file on its way to the folder, as another program might between two steps.
  std::function<void(const std::string& path, std::string& bytes)> edit;
  int windows_at_first_write = -1;

 private:
  static std::string Base(const std::string& path) { return path.substr(path.rfind('/') + 1); }
  const RecordingPlatform& platform_;
};

struct MemoryRun {
  RecordingPlatform platform{kExeDir, '/'};
  LoggingFileSystem files{platform};
  Form1 form;

  MemoryRun() {
    form.fs = &files;
    form.BaseDirectory = kExeDir;
    form.Separator = '/';
  }
  int Start() { return Form_Load(form, platform); }
};

TEST(FormLoad, OrderOfTheRun) {
  MemoryRun run;
  ASSERT_EQ(run.Start(), 0);
  EXPECT_EQ(run.platform.windows_shown, 1);
  EXPECT_EQ(run.files.windows_at_first_write, 1) << "the window comes before the first file";
  EXPECT_TRUE(run.platform.messages.empty());
  EXPECT_EQ(run.form.ScenarioName, "Torbena-Sarvico-Zeva");
  EXPECT_EQ(run.form.TrainNumber, "47302");
  EXPECT_EQ(run.form.ErrorCode, 0);
  const std::vector<std::string> expected = {
      "write " + Name(ScenarioFile::kRouteSource),
      "write " + Name(ScenarioFile::kTrainSource),
      "write " + Name(ScenarioFile::kNotes),
      "write " + Name(ScenarioFile::kSlowdownOrder),
      "write " + Name(ScenarioFile::kTrainCard),
      "read " + Name(ScenarioFile::kRouteSource),
      "remove " + Name(ScenarioFile::kRouteSource),
      "read " + Name(ScenarioFile::kTrainSource),
      "remove " + Name(ScenarioFile::kTrainSource),
      "write " + Name(ScenarioFile::kLineData),
      "write " + Name(ScenarioFile::kTrainSettings),
      "write " + Name(ScenarioFile::kTrack),
  };
  EXPECT_EQ(run.files.log, expected);
}

TEST(FormLoad, LeavesExactlyTheSixFilesAndReplacesLongerOnes) {
  MemoryRun run;
  // An earlier run left longer files of every name, the two source texts included.
  for (ScenarioFile f : kAll) run.files.mem.files()[Path(f)] = std::string(8000000, '#');
  ASSERT_EQ(run.Start(), 0);

  std::set<std::string> names;
  for (const auto& [path, bytes] : run.files.mem.files()) names.insert(path);
  std::set<std::string> kept;
  for (ScenarioFile f : kKept) kept.insert(Path(f));
  EXPECT_EQ(names, kept);

  const auto& files = run.files.mem.files();
  EXPECT_EQ(files.at(Path(ScenarioFile::kNotes)), RenderLines(LineTable(RigheNote())));
  EXPECT_EQ(files.at(Path(ScenarioFile::kSlowdownOrder)).size(), 3283u);
  EXPECT_EQ(files.at(Path(ScenarioFile::kTrainCard)).size(), 4161u);
  EXPECT_EQ(files.at(Path(ScenarioFile::kLineData)).size(), 7659964u);
  EXPECT_EQ(files.at(Path(ScenarioFile::kTrack)).size(), 114915u);
  EXPECT_EQ(files.at(Path(ScenarioFile::kTrainSettings)).substr(0, 34), std::string(34, '\0'));
}

TEST(FormLoad, FileThatCannotBeWrittenEndsTheRun) {
  MemoryRun run;
  run.files.mem.files()[Path(ScenarioFile::kNotes)] = "earlier notes";
  run.files.mem.FailReplace(Path(ScenarioFile::kNotes), WriteStep::kRename);
  EXPECT_NE(run.Start(), 0);
  ASSERT_EQ(run.platform.messages.size(), 1u);
  const std::string& m = run.platform.messages[0];
  EXPECT_NE(m.find(Path(ScenarioFile::kNotes)), std::string::npos) << m;
  EXPECT_NE(m.find("Permission denied"), std::string::npos) << m;

  const auto& files = run.files.mem.files();
  EXPECT_EQ(files.at(Path(ScenarioFile::kNotes)), "earlier notes");
  EXPECT_TRUE(files.count(Path(ScenarioFile::kRouteSource)));
  EXPECT_TRUE(files.count(Path(ScenarioFile::kTrainSource)));
  for (ScenarioFile f : {ScenarioFile::kSlowdownOrder, ScenarioFile::kTrainCard,
                         ScenarioFile::kLineData, ScenarioFile::kTrainSettings, ScenarioFile::kTrack})
    EXPECT_FALSE(files.count(Path(f))) << Name(f);
}

TEST(FormLoad, NoTrackIsShownAndWritesNoBinaryFile) {
  MemoryRun run;
  run.files.mem.FailRead(Path(ScenarioFile::kRouteSource));
  EXPECT_NE(run.Start(), 0);
  EXPECT_EQ(run.form.ErrorCode, 25);
  ASSERT_EQ(run.platform.messages.size(), 1u);
  EXPECT_NE(run.platform.messages[0].find("25"), std::string::npos) << run.platform.messages[0];
  const auto& files = run.files.mem.files();
  for (ScenarioFile f : {ScenarioFile::kLineData, ScenarioFile::kTrainSettings, ScenarioFile::kTrack})
    EXPECT_FALSE(files.count(Path(f))) << Name(f);
  for (ScenarioFile f : {ScenarioFile::kNotes, ScenarioFile::kSlowdownOrder, ScenarioFile::kTrainCard})
    EXPECT_TRUE(files.count(Path(f))) << Name(f);
}

TEST(FormLoad, OccupiedStampPlaceIsShownAndWritesNoBinaryFile) {
  MemoryRun run;
  // A code reduction to 180 km/h at 50 m puts a limit marker into cell 1.
  run.files.edit = [](const std::string& path, std::string& bytes) {
    if (path == Path(ScenarioFile::kTrainSource))
      bytes.insert(bytes.rfind("[fine]"), "abbattimento,  50,   180\r\n");
  };
  EXPECT_NE(run.Start(), 0);
  EXPECT_EQ(run.platform.messages, std::vector<std::string>{" Errore n. 1250"});
  EXPECT_EQ(run.form.ErrorCode, 0);
  const auto& files = run.files.mem.files();
  for (ScenarioFile f : {ScenarioFile::kLineData, ScenarioFile::kTrainSettings, ScenarioFile::kTrack})
    EXPECT_FALSE(files.count(Path(f))) << Name(f);
  for (ScenarioFile f : {ScenarioFile::kNotes, ScenarioFile::kSlowdownOrder, ScenarioFile::kTrainCard})
    EXPECT_TRUE(files.count(Path(f))) << Name(f);
}

// The built executable, copied into a folder of its own and started from another one.
TEST(EndToEnd, FilesAppearNextToTheExecutable) {
  const fs::path root = fs::temp_directory_path() /
                        ("sb-run-test-" + std::to_string(std::random_device{}()));
  const fs::path bin = root / "bin";
  const fs::path elsewhere = root / "elsewhere";
  fs::create_directories(bin);
  fs::create_directories(elsewhere);
  const fs::path exe = bin / fs::path(SB_EXECUTABLE).filename();
  fs::copy_file(SB_EXECUTABLE, exe);
  {
    std::ofstream old(bin / Name(ScenarioFile::kNotes), std::ios::binary);
    old << std::string(100000, '#');
  }

  const fs::path before = fs::current_path();
  fs::current_path(elsewhere);
  std::string command = "\"" + exe.string() + "\" > \"" + (root / "out.txt").string() +
                        "\" 2> \"" + (root / "err.txt").string() + "\"";
#ifdef _WIN32
  command = "\"" + command + "\"";  // cmd /c drops the outermost pair of quotes
#endif
  const int status = std::system(command.c_str());
  fs::current_path(before);
  EXPECT_EQ(status, 0);

  std::set<std::string> in_bin;
  for (const auto& e : fs::directory_iterator(bin)) in_bin.insert(e.path().filename().string());
  std::set<std::string> expected = {exe.filename().string()};
  for (ScenarioFile f : kKept) expected.insert(Name(f));
  EXPECT_EQ(in_bin, expected);
  EXPECT_TRUE(fs::is_empty(elsewhere));

  std::ifstream notes(bin / Name(ScenarioFile::kNotes), std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(notes)), std::istreambuf_iterator<char>());
  notes.close();  // Windows removes no open file
  EXPECT_EQ(text, RenderLines(LineTable(RigheNote())));
  EXPECT_EQ(fs::file_size(bin / Name(ScenarioFile::kTrack)), 114915u);
  // The line data file is written piece by piece: it must still decode whole.
  std::ifstream line_data(bin / Name(ScenarioFile::kLineData), std::ios::binary);
  const std::string grid((std::istreambuf_iterator<char>(line_data)), std::istreambuf_iterator<char>());
  line_data.close();
  EXPECT_EQ(grid.size(), 7659964u);
  std::vector<Variant> elements;
  std::string err;
  EXPECT_TRUE(DecodeLineFile(grid, &elements, &err)) << err;
  EXPECT_EQ(elements.size(), 2u * 383001u);
#ifndef _WIN32
  std::ifstream out(root / "out.txt");
  const std::string said((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
  EXPECT_EQ(said, "Attendere\n");
#endif
  fs::remove_all(root);
}

}  // namespace
}  // namespace sb
