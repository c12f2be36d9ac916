#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "compiler/binary_files.h"
#include "compiler/compile.h"
#include "line_data_bytes.h"
#include "model/run_errors.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::MemoryScenario;

// The line data file encoded element by element from the laid-out grid.
std::string EncodeElements(const std::vector<Variant>& values) {
  std::string out;
  for (const Variant& v : values) {
    out += static_cast<char>(v.tag & 0xFF);
    out += static_cast<char>(v.tag >> 8);
    if (v.tag == Variant::kInteger) {
      out += static_cast<char>(static_cast<uint16_t>(v.i) & 0xFF);
      out += static_cast<char>(static_cast<uint16_t>(v.i) >> 8);
    } else if (v.tag == Variant::kDouble) {
      uint64_t u;
      std::memcpy(&u, &v.d, sizeof u);
      for (int k = 0; k < 8; ++k) out += static_cast<char>((u >> (8 * k)) & 0xFF);
    }
  }
  return out;
}

// Every piece but the last is 64 KiB, so that each write starts on a 64 KiB boundary of
// the file; elements that cross a boundary are split between two pieces.
TEST(LineDataStream, BuiltInLineInPiecesOf64KiB) {
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::BuiltInRouteText());
  s.Put(ScenarioFile::kTrainSource, testing::BuiltInTrainText());
  testing::ReadSources(s, 1);
  ASSERT_EQ(s.form.ErrorCode, 0);
  std::string streamed;
  std::vector<size_t> pieces;
  WriteLineData(s.form.Grid, [&](std::string_view piece) {
    streamed.append(piece);
    pieces.push_back(piece.size());
  });
  ASSERT_EQ(pieces.size(), 117u);
  for (size_t k = 0; k + 1 < pieces.size(); ++k) EXPECT_EQ(pieces[k], size_t{1} << 16) << k;
  EXPECT_EQ(pieces.back(), 7659964u % (size_t{1} << 16));
  EXPECT_EQ(streamed.size(), 7659964u);
  EXPECT_EQ(LineDataSize(s.form.Grid), streamed.size());
  EXPECT_EQ(testing::LineDataBytes(s.form.Grid), streamed);  // a second pass gives the same bytes
  // The same bytes once the grid is laid out point by point.
  EXPECT_EQ(EncodeElements(s.form.Grid.Values()), streamed);
  EXPECT_EQ(testing::LineDataBytes(s.form.Grid), streamed);
  EXPECT_EQ(LineDataSize(s.form.Grid), streamed.size());
}

TEST(LineDataStream, CompileWritesTheStreamedFile) {
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::BuiltInRouteText());
  s.Put(ScenarioFile::kTrainSource, testing::BuiltInTrainText());
  int32_t j = 1;
  memorizza_percorso(s.form, j);
  ASSERT_TRUE(s.Has(ScenarioFile::kLineData));
  EXPECT_TRUE(s.Has(ScenarioFile::kTrainSettings));
  EXPECT_TRUE(s.Has(ScenarioFile::kTrack));
  EXPECT_EQ(s.Get(ScenarioFile::kLineData), EncodeElements(s.form.Grid.Values()));
}

TEST(LineDataStream, FailedLineDataFileStopsBeforeTheOtherFiles) {
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource, testing::BuiltInRouteText());
  s.Put(ScenarioFile::kTrainSource, testing::BuiltInTrainText());
  s.Put(ScenarioFile::kLineData, "old");
  s.fs.FailReplace(s.Path(ScenarioFile::kLineData), WriteStep::kWrite);
  int32_t j = 1;
  EXPECT_THROW(memorizza_percorso(s.form, j), RunFailure);
  EXPECT_EQ(s.Get(ScenarioFile::kLineData), "old");
  EXPECT_FALSE(s.Has(ScenarioFile::kTrainSettings));
  EXPECT_FALSE(s.Has(ScenarioFile::kTrack));
}

}  // namespace
}  // namespace sb
