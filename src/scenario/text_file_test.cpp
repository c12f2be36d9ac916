#include "scenario/text_file.h"

#include <gtest/gtest.h>

#include "model/run_errors.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::MemoryScenario;

TEST(LineTable, EndMarkerFollowsTheLastLine) {
  LineTable t({"uno", "", "tre"});
  EXPECT_EQ(t[0], "uno");
  EXPECT_EQ(t[1], "");
  EXPECT_EQ(t[2], "tre");
  EXPECT_EQ(t[3], kEndMarker);
  EXPECT_EQ(t[4], "");
  EXPECT_EQ(t[1000], "");
}

TEST(RenderLines, EveryLineEndsWithCrLfAndTheMarkerIsNotWritten) {
  const struct {
    const char* what;
    std::vector<std::string> lines;
    std::string bytes;
  } cases[] = {
      {"no line at all", {}, ""},
      {"one line", {"[fine]"}, "[fine]\r\n"},
      {"empty lines are CR LF alone", {"", "a", ""}, "\r\na\r\n\r\n"},
      {"blanks kept as stored", {"  a  b  ", " "}, "  a  b  \r\n \r\n"},
      {"a text close to the marker is an ordinary line",
       {"Riferimento fine del file", "riferimento fine del file ", " riferimento fine del file"},
       "Riferimento fine del file\r\nriferimento fine del file \r\n riferimento fine del file\r\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(RenderLines(LineTable(c.lines)), c.bytes) << c.what;
}

TEST(RenderLines, StopsAtTheFirstMarker) {
  LineTable t;
  t[0] = std::string(1, 'a');
  t[1] = kEndMarker;
  t[2] = "never written";
  t[3] = kEndMarker;
  EXPECT_EQ(RenderLines(t), "a\r\n");
}

TEST(WriteTextFile, ReplacesALongerFileWhole) {
  MemoryScenario s;
  s.Put(ScenarioFile::kNotes, std::string(100000, 'z'));
  WriteTextFile(s.form, ScenarioFile::kNotes, LineTable({"nuovo"}));
  EXPECT_EQ(s.Get(ScenarioFile::kNotes), "nuovo\r\n");
}

TEST(WriteTextFile, FailedWriteNamesTheFileAndKeepsTheOldVersion) {
  MemoryScenario s;
  s.Put(ScenarioFile::kTrainCard, "vecchia scheda\r\n");
  s.fs.FailReplace(s.Path(ScenarioFile::kTrainCard), WriteStep::kWrite);
  try {
    WriteTextFile(s.form, ScenarioFile::kTrainCard, LineTable({"nuova"}));
    FAIL() << "no failure";
  } catch (const RunFailure& e) {
    EXPECT_EQ(e.file(), s.Path(ScenarioFile::kTrainCard));
    EXPECT_NE(e.description().find("No space left on device"), std::string::npos) << e.what();
  }
  EXPECT_EQ(s.Get(ScenarioFile::kTrainCard), "vecchia scheda\r\n");
}

}  // namespace
}  // namespace sb
