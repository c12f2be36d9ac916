#include "authoring/decompile_command.h"

#include <gtest/gtest.h>

#include "command_run.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::CommandResult;
using testing::RunInMemory;

constexpr char kTrack[] = "/scn/Torbena-Sarvico-Zeva_47302.dat";
constexpr char kSettings[] = "/scn/Torbena-Sarvico-Zeva_47302.sim";
constexpr char kLine[] = "/scn/Torbena-Sarvico-Zeva_linea.dat";

// The built-in scenario's binary files in /scn, as the default run leaves them.
void BuiltInFiles(MemoryFileSystem& fs) {
  ASSERT_EQ(RunInMemory(fs, {"sources", "/scn"}).status, 0);
  ASSERT_EQ(RunInMemory(fs, {"compile", "/scn"}).status, 0);
}

TEST(DecompileCommand, TextsOfTheBuiltInScenarioCompileToItsFiles) {
  MemoryFileSystem fs;
  BuiltInFiles(fs);
  CommandResult r = RunInMemory(fs, {"decompile", "/scn", "--out", "/back"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "/back/Torbena-Sarvico-Zeva_linea.txt\n/back/Torbena-Sarvico-Zeva_47302-.txt\n");
  EXPECT_EQ(r.err, "scenario-builder: the texts compile to the 3 binary files byte for byte\n");
  const std::string route = fs.files().at("/back/Torbena-Sarvico-Zeva_linea.txt");
  EXPECT_EQ(route.rfind("-- decompiled", 0), 0u);
  EXPECT_EQ(route.substr(route.size() - 8), "[fine]\r\n");
  ASSERT_EQ(RunInMemory(fs, {"compile", "/back"}).status, 0);
  for (const char* f : {kTrack, kSettings, kLine}) {
    const std::string back = std::string("/back") + (f + 4);
    EXPECT_EQ(fs.files().at(back), fs.files().at(f)) << back;
  }
}

TEST(DecompileCommand, ExistingTextsAreKeptUnlessForced) {
  MemoryFileSystem fs;
  BuiltInFiles(fs);
  const std::string before = fs.files().at("/scn/Torbena-Sarvico-Zeva_linea.txt");
  CommandResult r = RunInMemory(fs, {"decompile", "/scn"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("/scn/Torbena-Sarvico-Zeva_linea.txt already exists; not replaced (--force replaces it)"),
            std::string::npos)
      << r.err;
  EXPECT_EQ(fs.files().at("/scn/Torbena-Sarvico-Zeva_linea.txt"), before);
  r = RunInMemory(fs, {"decompile", "/scn", "--force"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(fs.files().at("/scn/Torbena-Sarvico-Zeva_linea.txt"), before);
}

TEST(DecompileCommand, WithoutLineDataTheTextsSaySoAndHaveNoCurves) {
  MemoryFileSystem fs;
  BuiltInFiles(fs);
  fs.files().erase(kLine);
  CommandResult r = RunInMemory(fs, {"decompile", "/scn", "--out", "/back"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "scenario-builder: the texts compile to the 2 binary files byte for byte\n");
  const std::string route = fs.files().at("/back/Torbena-Sarvico-Zeva_linea.txt");
  EXPECT_NE(route.find("compile with --no-line-data"), std::string::npos);
  EXPECT_EQ(route.find("curva"), std::string::npos);
}

// A file edited by hand: the closest texts, every cell and row that differs, exit 1.
TEST(DecompileCommand, ListsEveryDifferenceOfAnEditedFile) {
  MemoryFileSystem fs;
  BuiltInFiles(fs);
  std::string& track = fs.files().at(kTrack);
  track[15 * 300 + 10] = 99;  // an approach mark that no item makes, in cell 300
  track[15 * 301 + 0] = 9;    // a cell type that no text writes, in cell 301
  fs.files().at(kSettings)[1] = 5;  // row 0, extentStart
  CommandResult r = RunInMemory(fs, {"decompile", "/scn", "--out", "/back"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "/scn/Torbena-Sarvico-Zeva_47302.sim: warning: row 0: extentStart is 5 in the file, 0 from the texts\n"
            "/scn/Torbena-Sarvico-Zeva_47302.dat: warning: cell 300 (15000 m): approachMark is 99 in the file, 0 "
            "from the texts\n"
            "/scn/Torbena-Sarvico-Zeva_47302.dat: warning: cell 301 (15050 m): cellType is 9 in the file, 0 from "
            "the texts\n"
            "scenario-builder: the texts do not rebuild the binary files: 3 differences in 2 of the 3 files; the "
            "closest texts are written\n");
  EXPECT_TRUE(fs.files().count("/back/Torbena-Sarvico-Zeva_47302-.txt"));
}

TEST(DecompileCommand, AFolderWhereARunIsAtWorkIsLeftAlone) {
  MemoryFileSystem fs;
  BuiltInFiles(fs);
  for (const char* busy : {"/scn", "/back"}) {
    SCOPED_TRACE(busy);
    std::unique_ptr<FolderLock> held = fs.LockFolder(busy, std::chrono::milliseconds(0));
    CommandResult r = RunInMemory(fs, {"decompile", "/scn", "--out", "/back", "--force"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find(busy), std::string::npos) << r.err;
    EXPECT_FALSE(fs.files().count("/back/Torbena-Sarvico-Zeva_linea.txt"));
  }
}

// Files renamed after their compile keep the names they were compiled under.
TEST(DecompileCommand, RenamedFilesDifferInTheirNamesAndCodes) {
  MemoryFileSystem fs;
  BuiltInFiles(fs);
  fs.files()["/scn/Altra_9.dat"] = fs.files().at(kTrack);
  fs.files()["/scn/Altra_9.sim"] = fs.files().at(kSettings);
  CommandResult r = RunInMemory(fs, {"decompile", "/scn", "--scenario", "Altra", "--train", "9"});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err.rfind("scenario-builder: note: the files name scenario 'Torbena-Sarvico-Zeva' and train '47302' in "
                        "rows 85 and 86, not the names given",
                        0),
            0u)
      << r.err;
  EXPECT_NE(r.err.find("row 86: name is '47302' in the file, '9' from the texts"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("cell 1 (50 m): value2 is"), std::string::npos) << r.err;
}

TEST(DecompileCommand, MissingOrMalformedFiles) {
  MemoryFileSystem fs;
  CommandResult r = RunInMemory(fs, {"decompile", "/scn"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err.rfind("scenario-builder decompile: cannot read /scn/Torbena-Sarvico-Zeva_47302.dat: ", 0), 0u)
      << r.err;
  BuiltInFiles(fs);
  fs.files().at(kTrack).pop_back();
  r = RunInMemory(fs, {"decompile", "/scn", "--out", "/back"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("the binary files cannot be decoded: the file is 114914 bytes long"), std::string::npos)
      << r.err;
  EXPECT_FALSE(fs.files().count("/back/Torbena-Sarvico-Zeva_linea.txt"));
  EXPECT_EQ(RunInMemory(fs, {"decompile", "--train", "a/b"}).status, 2);
}

}  // namespace
}  // namespace sb
