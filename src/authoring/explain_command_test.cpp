#include "authoring/explain_command.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "command_run.h"
#include "memory_file_system.h"
#include "readers/format_table.h"

namespace sb {
namespace {

using testing::CommandResult;
using testing::RunInMemory;

std::string ReadSourceFile(const std::string& relative) {
  std::ifstream in(std::string(SB_SOURCE_DIR) + "/" + relative, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Explain, FaultCodesAndKeysFromTheTable) {
  MemoryFileSystem fs;
  CommandResult r = RunInMemory(fs, {"explain", "16"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, ExplainFault(*FindFault(16)));
  EXPECT_EQ(r.out.rfind("fault 16 (train text): the cell of a signal is taken\n", 0), 0u) << r.out;

  r = RunInMemory(fs, {"explain", "stazione"});
  EXPECT_EQ(r.status, 0);
  for (const ColumnInfo& c : FindSourceKey("stazione")->columns)
    EXPECT_NE(r.out.find(std::string(". ") + c.name + " ("), std::string::npos) << c.name;
  // A key as an author writes it finds its entry.
  EXPECT_EQ(RunInMemory(fs, {"explain", "curvad3"}).out, ExplainKey(*FindSourceKey("curvas1")));
  EXPECT_EQ(RunInMemory(fs, {"explain"}).status, 0);

  r = RunInMemory(fs, {"explain", "stazzione"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("(did you mean 'stazione'?)"), std::string::npos) << r.err;
  EXPECT_EQ(RunInMemory(fs, {"explain", "999"}).status, 2);
}

// The manual quotes the table: every key, every column of each, every fault code.
TEST(Explain, TheManualCoversTheTable) {
  const std::string manual = ReadSourceFile("docs/format.md");
  ASSERT_FALSE(manual.empty()) << "docs/format.md not found";
  for (const KeyInfo& k : SourceKeys()) {
    const size_t at = manual.find(std::string("#### `") + k.key + "`");
    ASSERT_NE(at, std::string::npos) << k.key;
    const size_t next = manual.find("\n#### ", at + 1);
    const std::string entry = manual.substr(at, next - at);
    for (const ColumnInfo& c : k.columns) {
      EXPECT_NE(entry.find(std::string("| ") + c.name + " |"), std::string::npos) << k.key << ": " << c.name;
      EXPECT_NE(entry.find(c.range), std::string::npos) << k.key << ": " << c.name;
    }
  }
  for (const FaultInfo& f : FaultCodes()) {
    EXPECT_NE(manual.find("### Fault " + std::to_string(f.code) + ": " + f.title), std::string::npos)
        << f.code;
    EXPECT_NE(manual.find(f.fix), std::string::npos) << f.code;
  }
}

// The worked example of the manual is the fixture, line for line, and compiles without a
// fault or a warning.
TEST(Explain, TheManualsExampleCompilesCleanly) {
  const std::string manual = ReadSourceFile("docs/format.md");
  MemoryFileSystem fs;
  for (const char* name : {"Linea-Esempio_linea.txt", "Linea-Esempio_101-.txt"}) {
    const std::string text = ReadSourceFile(std::string("tests/fixtures/") + name);
    ASSERT_FALSE(text.empty()) << name;
    EXPECT_NE(text.find("\r\n"), std::string::npos) << name << " must keep its CR LF line ends";
    fs.files()[std::string("/ex/") + name] = text;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      EXPECT_NE(manual.find("\n    " + line + "\n"), std::string::npos) << line;
    }
  }
  CommandResult r = RunInMemory(fs, {"compile", "/ex", "--scenario", "Linea-Esempio", "--train",
                                     "101", "--strict", "--json"});
  EXPECT_EQ(r.status, 0) << r.err;
  const nlohmann::json j = testing::JsonOut(r);
  EXPECT_EQ(j.at("faults").size(), 0u);
  EXPECT_EQ(j.at("warnings").size(), 0u);
  EXPECT_EQ(j.at("files").size(), 3u);
}

}  // namespace
}  // namespace sb
