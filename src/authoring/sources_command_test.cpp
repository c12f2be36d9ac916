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

}  // namespace
}  // namespace sb
