#include "authoring/diagnostic_format.h"

#include <gtest/gtest.h>

#include "model/faults.h"
#include "readers/format_table.h"
#include "test_support.h"

namespace sb {
namespace {

// Only the lines the diagnostics are about are read back, each as the field reader counts
// lines (at LF, a CR before it dropped), as the text holds them, a long one cut.
TEST(SourceTexts, QuoteTheLinesOfTheDiagnosticsOnly) {
  testing::MemoryScenario s;
  const std::string long_line(5000, 'x');
  s.Put(ScenarioFile::kRouteSource, "uno\r\ndue\n\r\npend\xE8nza\r\n" + long_line + "\nultima\r");
  s.Put(ScenarioFile::kTrainSource, "a\nb\n");
  for (int32_t line : {2, 3, 4, 5, 6, 7, 9}) RecordWarning(s.form, {SourceFile::kRoute, line}, "w");
  RecordFault(s.form, 25, std::nullopt, {SourceFile::kTrain, 2}, "f");
  FaultRecord& f = RecordFault(s.form, 16, 50, {SourceFile::kTrain, 3}, "taken");
  f.notes.push_back({{SourceFile::kTrain, 1}, "placed here"});

  SourceTexts t = LoadSourceTexts(s.form);
  EXPECT_EQ(t.route_path, s.Path(ScenarioFile::kRouteSource));
  std::map<int32_t, std::string> route, train;
  for (const auto& [line, q] : t.route_lines) route[line] = q.bytes;
  for (const auto& [line, q] : t.train_lines) train[line] = q.bytes;
  EXPECT_EQ(route, (std::map<int32_t, std::string>{{2, "due"},
                                                   {3, ""},
                                                   {4, "pend\xE8nza"},
                                                   {5, std::string(kLineKept, 'x')},
                                                   {6, "ultima"}}));
  EXPECT_EQ(t.route_lines.at(5).length, 5000u);
  EXPECT_EQ(train, (std::map<int32_t, std::string>{{1, "a"}, {2, "b"}}));
}

// Each diagnostic has the columns of its field, its notes at their own lines, and the help
// of its code from the table when it has none of its own; a cell pass fault is led by its
// cell, at the line of its slowdown.
TEST(SourceTexts, DiagnosticsCarryColumnsNotesAndHelp) {
  testing::MemoryScenario s;
  s.Put(ScenarioFile::kTrainSource, "[generale]\r\nsegnale, 2000\r\nsegnale, 2010\r\n");
  FaultRecord& f = RecordFault(s.form, 16, 2010, {SourceFile::kTrain, 3, 10, 14}, "taken");
  f.notes.push_back({{SourceFile::kTrain, 2, 10, 14}, "placed here"});
  f.notes.push_back({{}, "reading stopped here"});
  FaultRecord& pass = RecordFault(s.form, 12, 5050, {SourceFile::kTrain, 2, 10, 14}, "no free cell");
  pass.cell = 101;
  const SourceTexts t = LoadSourceTexts(s.form);
  const std::vector<Diagnostic> d = FaultDiagnostics(s.form, t);
  ASSERT_EQ(d.size(), 2u);
  EXPECT_EQ(d[0].where.line, 3);
  EXPECT_EQ(d[0].where.column, 10);
  EXPECT_EQ(d[0].where.end_column, 14);
  ASSERT_TRUE(d[0].where.source);
  EXPECT_EQ(d[0].where.source->bytes, "segnale, 2010");
  ASSERT_EQ(d[0].notes.size(), 2u);
  EXPECT_EQ(d[0].notes[0].where.line, 2);
  EXPECT_EQ(d[0].notes[0].where.source->bytes, "segnale, 2000");
  EXPECT_TRUE(d[0].notes[1].where.file.empty());
  EXPECT_EQ(d[0].help, FindFault(16)->fix);
  EXPECT_EQ(d[1].message, "cell 101 (5000 m): no free cell");
  EXPECT_EQ(d[1].where.line, 2);
}

}  // namespace
}  // namespace sb
