#include "io/file_replacement.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "io/file_system.h"
#include "memory_file_system.h"

namespace sb {
namespace {

const std::vector<std::string> kPaths = {"/d/linea.dat", "/d/treno.sim", "/d/treno.dat"};

std::vector<FileToWrite> Unit() {
  return {BytesToWrite(kPaths[0], "new line data"), BytesToWrite(kPaths[1], "new settings"),
          BytesToWrite(kPaths[2], "new track")};
}

// A folder with a file that is no part of the unit and, where `present` says so, the
// earlier version of each file of the unit.
MemoryFileSystem Folder(const std::vector<bool>& present) {
  MemoryFileSystem mem;
  mem.files()["/d/other.txt"] = "someone else's";
  for (size_t k = 0; k < kPaths.size(); ++k)
    if (present[k]) mem.files()[kPaths[k]] = "old " + std::to_string(k);
  return mem;
}

const char* Words(WriteStep s) {
  switch (s) {
    case WriteStep::kCreate: return "cannot create a temporary file: ";
    case WriteStep::kWrite: return "cannot write: ";
    case WriteStep::kFlush: return "cannot flush: ";
    case WriteStep::kKeepOld: return "cannot keep the old file under a second name: ";
    case WriteStep::kRename: return "cannot rename over the old file: ";
    case WriteStep::kPutBack: return "";
  }
  return "";
}

// A failure at any step of any file leaves the folder exactly as it was: the old files,
// the absent ones still absent, no temporary file and no second name.
TEST(ReplaceAsOne, EveryStepOfEveryFileLeavesTheFolderAsItWas) {
  const std::vector<std::vector<bool>> befores = {
      {true, true, true}, {false, false, false}, {false, true, false}, {true, false, true}};
  for (const std::vector<bool>& present : befores) {
    for (size_t k = 0; k < kPaths.size(); ++k) {
      for (WriteStep step : {WriteStep::kCreate, WriteStep::kWrite, WriteStep::kFlush,
                             WriteStep::kKeepOld, WriteStep::kRename}) {
        // The last file is not kept under a second name: after its rename nothing can fail.
        if (step == WriteStep::kKeepOld && k + 1 == kPaths.size()) continue;
        SCOPED_TRACE(kPaths[k] + " " + Words(step) + (present[k] ? "(was there)" : "(was not)"));
        MemoryFileSystem mem = Folder(present);
        const auto before = mem.files();
        mem.FailReplace(kPaths[k], step);
        ReplaceError error;
        EXPECT_FALSE(mem.ReplaceFiles(Unit(), &error));
        EXPECT_EQ(error.path, kPaths[k]);
        EXPECT_EQ(error.reason.rfind(Words(step), 0), 0u) << error.reason;
        EXPECT_TRUE(error.left_new.empty());
        EXPECT_EQ(mem.files(), before);
      }
    }
  }
}

TEST(ReplaceAsOne, SuccessLeavesTheNewFilesAndNothingElse) {
  for (const std::vector<bool>& present :
       std::vector<std::vector<bool>>{{true, true, true}, {false, true, false}}) {
    MemoryFileSystem mem = Folder(present);
    ReplaceError error;
    ASSERT_TRUE(mem.ReplaceFiles(Unit(), &error)) << error.reason;
    const std::map<std::string, std::string> expected = {{"/d/other.txt", "someone else's"},
                                                         {kPaths[0], "new line data"},
                                                         {kPaths[1], "new settings"},
                                                         {kPaths[2], "new track"}};
    EXPECT_EQ(mem.files(), expected);
  }
}

// When a renamed file cannot get its earlier version back, the failure says so and where
// the earlier version is kept; it is not removed.
TEST(ReplaceAsOne, AnEarlierVersionThatCannotBePutBackIsKeptAndReported) {
  MemoryFileSystem mem = Folder({true, true, true});
  mem.FailReplace(kPaths[2], WriteStep::kRename);
  mem.FailReplace(kPaths[0], WriteStep::kPutBack);
  ReplaceError error;
  EXPECT_FALSE(mem.ReplaceFiles(Unit(), &error));
  EXPECT_EQ(error.path, kPaths[2]);
  EXPECT_EQ(error.left_new, std::vector<std::string>{kPaths[0]});
  EXPECT_EQ(mem.files().at(kPaths[0]), "new line data");
  EXPECT_EQ(mem.files().at(kPaths[1]), "old 1");
  EXPECT_EQ(mem.files().at(kPaths[2]), "old 2");
  const std::string kept_as = " and is kept as ";
  const size_t at = error.reason.find(kept_as);
  ASSERT_NE(at, std::string::npos) << error.reason;
  EXPECT_EQ(error.reason.rfind("cannot rename over the old file: Permission denied; " + kPaths[0] +
                                   " keeps its new version: the earlier one could not be put back",
                               0),
            0u)
      << error.reason;
  const std::string backup = error.reason.substr(at + kept_as.size());
  ASSERT_TRUE(mem.files().count(backup)) << error.reason;
  EXPECT_EQ(mem.files().at(backup), "old 0");
  EXPECT_EQ(mem.files().size(), 5u) << "the three files, the other one, the earlier version";
}

}  // namespace
}  // namespace sb
