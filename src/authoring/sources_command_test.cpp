#include "authoring/sources_command.h"

#include <gtest/gtest.h>

#include "command_run.h"
#include "memory_file_system.h"
#include "scenario/scenario_texts.h"
#include "scenario/text_file.h"

namespace sb {
namespace {

using testing::CommandResult;
using testing::RunInMemory;

const std::pair<const char*, std::vector<std::string> (*)()> kTexts[] = {
    {"/s/Torbena-Sarvico-Zeva_linea.txt", RouteTextLines},
    {"/s/Torbena-Sarvico-Zeva_47302-.txt", TrainTextLines},
    {"/s/Torbena-Sarvico-Zeva_47302_note.txt", NotesLines},
    {"/s/Torbena-Sarvico-Zeva_47302_rallentamenti.txt", SlowdownOrderLines},
    {"/s/Torbena-Sarvico-Zeva_47302_scheda_treno.txt", TrainCardLines},
};

TEST(SourcesCommand, WritesTheFiveTextsAndNothingElse) {
  MemoryFileSystem fs;
  CommandResult r = RunInMemory(fs, {"sources", "/s/"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(fs.files().size(), 5u);
  std::vector<std::string> listed;
  for (const auto& [path, lines] : kTexts) {
    EXPECT_EQ(fs.files().at(path), RenderLines(LineTable(lines()))) << path;
    listed.push_back(path);
  }
  EXPECT_EQ(testing::Lines(r.out), listed);
}

// The folder an author names is made, with the folders above it, as the README's examples
// expect; a file in its way is reported and nothing is written.
TEST(SourcesCommand, MakesTheFolderWhenItIsMissing) {
  MemoryFileSystem fs;
  CommandResult r = RunInMemory(fs, {"sources", "/s/new/line/"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(fs.folders(), (std::set<std::string>{"/s/new/line", "/s/new", "/s", "/"}));
  EXPECT_TRUE(fs.Exists("/s/new/line/Torbena-Sarvico-Zeva_linea.txt"));
  EXPECT_EQ(fs.files().size(), 5u);

  MemoryFileSystem taken;
  taken.files()["/s/new"] = "a file";
  r = RunInMemory(taken, {"sources", "/s/new/line"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "scenario-builder sources: cannot make the folder /s/new: Not a directory\n");
  EXPECT_TRUE(r.out.empty());
  EXPECT_EQ(taken.files().size(), 1u);
}

TEST(SourcesCommand, AnAuthorsTextIsReplacedOnlyWhenAskedTo) {
  MemoryFileSystem fs;
  fs.files()["/s/Torbena-Sarvico-Zeva_47302-.txt"] = "my own train";
  CommandResult r = RunInMemory(fs, {"sources", "/s"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("/s/Torbena-Sarvico-Zeva_47302-.txt already exists"), std::string::npos);
  EXPECT_EQ(fs.files().size(), 1u);  // nothing written
  EXPECT_EQ(fs.files().at("/s/Torbena-Sarvico-Zeva_47302-.txt"), "my own train");

  EXPECT_EQ(RunInMemory(fs, {"sources", "/s", "--force"}).status, 0);
  EXPECT_EQ(fs.files().at("/s/Torbena-Sarvico-Zeva_47302-.txt"), RenderLines(LineTable(TrainTextLines())));
}

TEST(SourcesCommand, AFailedWriteIsReported) {
  MemoryFileSystem fs;
  fs.FailReplace("/s/Torbena-Sarvico-Zeva_47302_note.txt", WriteStep::kWrite);
  CommandResult r = RunInMemory(fs, {"sources", "/s"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("cannot write /s/Torbena-Sarvico-Zeva_47302_note.txt: cannot write: No space"),
            std::string::npos) << r.err;
}

// Texts under an author's names compile at once under the same names; the three documents
// keep the built-in names.
TEST(SourcesCommand, TextsUnderNamesOfOnesOwnCompileAtOnce) {
  MemoryFileSystem fs;
  CommandResult r = RunInMemory(fs, {"sources", "/new/line", "--scenario", "Mia-Linea", "--train", "9"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs.Exists("/new/line/Mia-Linea_linea.txt"));
  EXPECT_TRUE(fs.Exists("/new/line/Mia-Linea_9-.txt"));
  EXPECT_TRUE(fs.Exists("/new/line/Torbena-Sarvico-Zeva_47302_note.txt"));
  EXPECT_FALSE(fs.Exists("/new/line/Torbena-Sarvico-Zeva_linea.txt"));
  r = RunInMemory(fs, {"compile", "/new/line", "--scenario", "Mia-Linea", "--train", "9", "--strict"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs.Exists("/new/line/Mia-Linea_9.dat"));
  EXPECT_EQ(RunInMemory(fs, {"sources", "/x", "--train", "a/b"}).status, 2);
}

}  // namespace
}  // namespace sb
