#include "driver/run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <fstream>
#include <future>
#include <iterator>
#include <map>
#include <random>
#include <set>

#include "compiler/binary_decode.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "memory_file_system.h"
#include "recording_platform.h"
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

std::string Name(ScenarioFile f) { return ScenarioFileName("Torbena-Sarvico-Zeva", "47302", f); }
std::string Path(ScenarioFile f) { return std::string(kExeDir) + "/" + Name(f); }

// An in-memory folder that logs the file operations of the run, by file name.
class LoggingFileSystem : public FileSystem {
 public:
  explicit LoggingFileSystem(const RecordingPlatform& platform) : platform_(platform) {}

  bool Exists(const std::string& path) override { return mem.Exists(path); }
  bool ReadFile(const std::string& path, std::string* contents, std::string* err) override {
    log.push_back("read " + Base(path));
    if (before_read) before_read(path, mem);
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
  bool MakeFolders(const std::string& path, std::string* err) override {
    log.push_back("make folders " + path);
    return mem.MakeFolders(path, err);
  }
  std::unique_ptr<FolderLock> LockFolder(const std::string& dir,
                                         std::chrono::milliseconds wait) override {
    log.push_back("lock " + dir);
    return mem.LockFolder(dir, wait);
  }

  MemoryFileSystem mem;
  std::vector<std::string> log;
  // Changes a file on its way to the folder, as another program might between two steps.
  std::function<void(const std::string& path, std::string& bytes)> edit;
  // Does something to the folder just before a file is read, as another program might.
  std::function<void(const std::string& path, MemoryFileSystem& folder)> before_read;
  int windows_at_first_write = -1;

 private:
  static std::string Base(const std::string& path) { return path.substr(path.rfind('/') + 1); }
  const RecordingPlatform& platform_;
};

// Records the messages, and whether the folder was locked while each was shown.
class LockWatchingPlatform : public RecordingPlatform {
 public:
  LockWatchingPlatform() : RecordingPlatform(kExeDir, '/') {}
  void ShowMessage(const std::string& text) override {
    RecordingPlatform::ShowMessage(text);
    locked_while_shown.push_back(folder != nullptr && !folder->locked().empty());
  }
  const MemoryFileSystem* folder = nullptr;
  std::vector<bool> locked_while_shown;
};

struct MemoryRun {
  LockWatchingPlatform platform;
  LoggingFileSystem files{platform};
  Form1 form;

  MemoryRun() {
    platform.folder = &files.mem;
    form.run.fs = &files;
    form.run.folder = kExeDir;
    form.run.separator = '/';
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
      "lock " + std::string(kExeDir),
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
  EXPECT_TRUE(run.files.mem.locked().empty()) << "the lock is released at the end";
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
  EXPECT_EQ(files.at(Path(ScenarioFile::kNotes)), RenderLines(LineTable(NotesLines())));
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
  EXPECT_EQ(run.platform.locked_while_shown, std::vector<bool>{false})
      << "the folder is free again while the message waits for the user";
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

// The built-in texts compile without a fault. When another program changes or removes a
// text between its writing and its reading, the binary files would be wrong: none is
// written, the earlier ones stay, and the fault is shown.
TEST(FormLoad, FaultInTheBuiltInTextsWritesNoBinaryFile) {
  struct Case {
    const char* name;
    std::function<void(LoggingFileSystem&)> meddle;
    std::vector<std::string> message_has;
  };
  const std::string train = Path(ScenarioFile::kTrainSource);
  const std::string station = "stazione,   12000,";
  int station_line = 0;
  const std::vector<Case> cases = {
      {"a station moved off the 50 m grid",
       [&](LoggingFileSystem& files) {
         files.edit = [&](const std::string& path, std::string& bytes) {
           if (path != train) return;
           size_t at = bytes.find(station);
           ASSERT_NE(at, std::string::npos);
           bytes.replace(at, station.size(), "stazione,   12025,");
           station_line = 1 + static_cast<int>(std::count(bytes.begin(), bytes.begin() + at, '\n'));
         };
       },
       {": fault 8: ", "12025"}},
      {"the train text removed before it is read",
       [&](LoggingFileSystem& files) {
         files.before_read = [&](const std::string& path, MemoryFileSystem& folder) {
           if (path == train) folder.files().erase(path);
         };
       },
       {train + ": fault 25: ", "cannot open the train text"}},
  };
  constexpr ScenarioFile kBinaries[] = {ScenarioFile::kLineData, ScenarioFile::kTrainSettings,
                                        ScenarioFile::kTrack};
  constexpr ScenarioFile kDocuments[] = {ScenarioFile::kNotes, ScenarioFile::kSlowdownOrder,
                                         ScenarioFile::kTrainCard};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    station_line = 0;
    MemoryRun run;
    for (ScenarioFile f : kBinaries) run.files.mem.files()[Path(f)] = "earlier " + Name(f);
    c.meddle(run.files);
    EXPECT_EQ(run.Start(), 2);
    EXPECT_NE(run.form.ErrorCode, 0);
    ASSERT_EQ(run.platform.messages.size(), 1u);
    EXPECT_EQ(run.platform.locked_while_shown, std::vector<bool>{false})
        << "the folder is free again while the message waits for the user";
    const std::string& m = run.platform.messages[0];
    EXPECT_EQ(m.rfind("Cannot compile the built-in scenario: " + train + ": ", 0), 0u) << m;
    for (const std::string& part : c.message_has) EXPECT_NE(m.find(part), std::string::npos) << m;
    if (station_line > 0) {
      EXPECT_NE(m.find(": line " + std::to_string(station_line) + ": "), std::string::npos) << m;
    }
    EXPECT_EQ(m.substr(m.size() - 29), ". No binary file was written.") << m;
    const auto& files = run.files.mem.files();
    for (ScenarioFile f : kBinaries) EXPECT_EQ(files.at(Path(f)), "earlier " + Name(f));
    for (ScenarioFile f : kDocuments) EXPECT_TRUE(files.count(Path(f))) << Name(f);
    EXPECT_EQ(files.size(), 6u) << "the source texts are deleted as after any run";
  }
}

// A run that finds its folder in use by another waits for it; when the other has not
// ended in time, this one touches no file and says why.
TEST(FormLoad, FolderInUseByAnotherRunIsLeftAlone) {
  MemoryRun run;
  run.files.mem.files()[Path(ScenarioFile::kNotes)] = "earlier notes";
  const auto before = run.files.mem.files();
  std::unique_ptr<FolderLock> other =
      run.files.mem.LockFolder(kExeDir, std::chrono::milliseconds(0));
  ASSERT_TRUE(other);
  EXPECT_EQ(run.Start(), 2);
  EXPECT_EQ(run.platform.messages,
            std::vector<std::string>{"Cannot write the scenario: another run of scenario-builder "
                                     "has been using the folder /giochi/treni for 60 s without "
                                     "ending; this run changed no file."});
  EXPECT_EQ(run.files.mem.files(), before);
  EXPECT_EQ(run.files.log, std::vector<std::string>{"lock /giochi/treni"});
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
  EXPECT_EQ(text, RenderLines(LineTable(NotesLines())));
  EXPECT_EQ(fs::file_size(bin / Name(ScenarioFile::kTrack)), 114915u);
  // The line data file is written piece by piece: it must still decode whole.
  std::ifstream line_data(bin / Name(ScenarioFile::kLineData), std::ios::binary);
  const std::string grid((std::istreambuf_iterator<char>(line_data)), std::istreambuf_iterator<char>());
  line_data.close();
  EXPECT_EQ(grid.size(), 7659964u);
  std::vector<Variant> elements;
  std::string err;
  EXPECT_TRUE(DecodeLineData(grid, &elements, &err)) << err;
  EXPECT_EQ(elements.size(), 2u * 383001u);
#ifndef _WIN32
  std::ifstream out(root / "out.txt");
  const std::string said((std::istreambuf_iterator<char>(out)), std::istreambuf_iterator<char>());
  EXPECT_EQ(said, "Attendere\n");
#endif
  fs::remove_all(root);
}

// Eight default runs started at once in one folder, as by a double click too many or a
// script: each waits for the one before it, all end well, and the folder holds what one
// run leaves, byte for byte.
TEST(EndToEnd, RunsStartedTogetherInOneFolderLeaveTheFilesOfOneRun) {
  const fs::path root = fs::temp_directory_path() /
                        ("sb-parallel-test-" + std::to_string(std::random_device{}()));
  const fs::path bin = root / "bin";
  fs::create_directories(bin);
  const fs::path exe = bin / fs::path(SB_EXECUTABLE).filename();
  fs::copy_file(SB_EXECUTABLE, exe);
  auto start = [&](int k) {
    const fs::path out = root / ("out-" + std::to_string(k) + ".txt");
    const fs::path err = root / ("err-" + std::to_string(k) + ".txt");
    std::string command =
        "\"" + exe.string() + "\" > \"" + out.string() + "\" 2> \"" + err.string() + "\"";
#ifdef _WIN32
    command = "\"" + command + "\"";  // cmd /c drops the outermost pair of quotes
#endif
    return std::system(command.c_str());
  };
  auto slurp = [](const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  };

  ASSERT_EQ(start(0), 0) << slurp(root / "err-0.txt");
  std::map<std::string, std::string> one_run;
  for (ScenarioFile f : kKept) {
    one_run[Name(f)] = slurp(bin / Name(f));
    fs::remove(bin / Name(f));
  }

  constexpr int kRuns = 8;
  std::vector<std::future<int>> runs;
  for (int k = 1; k <= kRuns; ++k) runs.push_back(std::async(std::launch::async, start, k));
  for (int k = 1; k <= kRuns; ++k) {
    EXPECT_EQ(runs[k - 1].get(), 0)
        << "run " << k << ": " << slurp(root / ("err-" + std::to_string(k) + ".txt"));
  }
  std::map<std::string, std::string> after;
  for (const auto& e : fs::directory_iterator(bin))
    if (e.path().filename() != exe.filename())
      after[e.path().filename().string()] = slurp(e.path());
  EXPECT_EQ(after.size(), one_run.size()) << "the folder holds other files";
  for (const auto& [name, bytes] : one_run) {
    ASSERT_TRUE(after.count(name)) << name;
    EXPECT_TRUE(after.at(name) == bytes) << name << " differs from a single run's";
  }
  std::error_code ec;
  fs::remove_all(root, ec);
}

}  // namespace
}  // namespace sb
