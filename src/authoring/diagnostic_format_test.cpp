#include "authoring/diagnostic_format.h"

#include <gtest/gtest.h>

#include "model/faults.h"
#include "test_support.h"

namespace sb {
namespace {

// Only the lines the diagnostics are about are read back, each as the field reader counts
// lines (at LF, a CR before it dropped), in UTF-8, a long one cut to its start.
TEST(SourceTexts, QuoteTheLinesOfTheDiagnosticsOnly) {
  testing::MemoryScenario s;
  const std::string long_line(300, 'x');
  s.Put(ScenarioFile::kRouteSource, "uno\r\ndue\n\r\npend\xE8nza\r\n" + long_line + "\nultima\r");
  s.Put(ScenarioFile::kTrainSource, "a\nb\n");
  for (int32_t line : {2, 3, 4, 5, 6, 7, 9}) RecordWarning(s.form, {SourceFile::kRoute, line}, "w");
  RecordFault(s.form, 25, std::nullopt, {SourceFile::kTrain, 2}, "f");
  RecordFault(s.form, 12, 50, {SourceFile::kTrain, 1}, "cell pass");
  s.form.run.diag.faults.back().cell = 1;  // quotes no line

  SourceTexts t = LoadSourceTexts(s.form);
  EXPECT_EQ(t.route_path, s.Path(ScenarioFile::kRouteSource));
  EXPECT_EQ(t.route_lines, (std::map<int32_t, std::string>{
                               {2, "due"},
                               {3, ""},
                               {4, "pend\xC3\xA8nza"},
                               {5, std::string(200, 'x') + "... (300 bytes)"},
                               {6, "ultima"}}));
  EXPECT_EQ(t.train_lines, (std::map<int32_t, std::string>{{2, "b"}}));
}

}  // namespace
}  // namespace sb
