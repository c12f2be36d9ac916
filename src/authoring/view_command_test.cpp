#include "authoring/view_command.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "command_run.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::CommandResult;
using testing::RunInMemory;

// The page data of a page written by `view`.
nlohmann::json PageData(const std::string& page) {
  const std::string open = "<script id=\"sb-data\" type=\"application/json\">";
  const size_t at = page.find(open);
  const size_t end = page.find("</script>", at);
  if (at == std::string::npos || end == std::string::npos) return nullptr;
  return nlohmann::json::parse(page.substr(at + open.size(), end - at - open.size()));
}

void Texts(testing::MemoryScenario& s) {
  s.Put(ScenarioFile::kRouteSource, testing::Route(20000, {"curvad4, 3000, 1500"}));
  s.Put(ScenarioFile::kTrainSource,
        testing::Train({"velocita, 0, 100",
                        "stazione, 0, 8, 1000, 0, 0, 0, 1, 1, 0, 4, 1, 1, 0, 9, 0, 0, ALFA",
                        "segnale, 5000, 2,4,1, 1, 0, 2, 2,1,1, 0",
                        "segnale, 5000, 2,4,1, 1, 0, 2, 2,1,1, 0"}));
}

TEST(ViewCommand, FromTheTextsWritesOnlyThePage) {
  testing::MemoryScenario s;
  Texts(s);
  const size_t files_before = s.fs.files().size();
  CommandResult r = RunInMemory(s.fs, {"view", "/scn", "--out", "/out/v.html"});
  EXPECT_EQ(r.status, 1) << r.err;  // the second signal is a fault: the page all the same
  EXPECT_EQ(r.out, "/out/v.html\n");
  EXPECT_NE(r.err.find("/scn/Torbena-Sarvico-Zeva_47302-.txt:5:10: error: "), std::string::npos) << r.err;
  EXPECT_EQ(s.fs.files().size(), files_before + 1);  // no binary file
  const nlohmann::json d = PageData(s.fs.files().at("/out/v.html"));
  ASSERT_TRUE(d.is_object());
  EXPECT_TRUE(d["sourcesKnown"]);
  // Absolute, for the editor links ("Z:/scn/..." on Windows).
  const std::string train = d["files"][1];
  EXPECT_EQ(train.substr(train.find("/scn/")), "/scn/Torbena-Sarvico-Zeva_47302-.txt");
  ASSERT_EQ(d["faults"].size(), 1u);
  EXPECT_EQ(d["faults"][0]["code"], 16);
  EXPECT_EQ(d["faults"][0]["s"], nlohmann::json::array({1, 5}));
  EXPECT_EQ(d["lines"][1]["5"], "segnale, 5000, 2,4,1, 1, 0, 2, 2,1,1, 0");
  EXPECT_EQ(d["stations"][0]["name"], "ALFA");
  EXPECT_FALSE(d["plan"].empty());
}

TEST(ViewCommand, FromTheBinaryFilesWhenThereAreNoTexts) {
  testing::MemoryScenario s;
  Texts(s);
  ASSERT_EQ(RunInMemory(s.fs, {"compile", "/scn"}).status, 1);
  s.fs.files().erase(s.Path(ScenarioFile::kRouteSource));
  s.fs.files().erase(s.Path(ScenarioFile::kTrainSource));
  CommandResult r = RunInMemory(s.fs, {"view", "/scn", "--out", "/v.html"});
  ASSERT_EQ(r.status, 0) << r.err;
  const nlohmann::json d = PageData(s.fs.files().at("/v.html"));
  EXPECT_FALSE(d["sourcesKnown"]);
  EXPECT_EQ(d["items"][0]["k"], "signal");
  EXPECT_TRUE(d["items"][0]["s"].is_null());
  EXPECT_EQ(d["length"], 20000);

  s.fs.files().erase(s.Path(ScenarioFile::kTrack));
  r = RunInMemory(s.fs, {"view", "/scn", "--out", "/w.html"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("found neither the texts"), std::string::npos) << r.err;
  EXPECT_EQ(RunInMemory(s.fs, {"view", "/scn"}).status, 2);  // --out is required
}

}  // namespace
}  // namespace sb
