// Shared fixtures: an in-memory scenario folder and a compile over two small texts.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "io/file_names.h"
#include "io/file_system.h"
#include "memory_file_system.h"
#include "model/form1.h"

namespace sb {
// Shows a whole row in a failed expectation.
void PrintTo(const StationRecord& r, std::ostream* os);
}  // namespace sb

namespace sb::testing {

constexpr char kDir[] = "/scn";

// A Form1 on an in-memory folder, named like the built-in scenario.
struct MemoryScenario {
  MemoryFileSystem fs;
  Form1 form;

  MemoryScenario() {
    form.run.fs = &fs;
    form.run.folder = kDir;
    form.run.separator = '/';
    form.ScenarioName = "Torbena-Sarvico-Zeva";
    form.TrainNumber = "47302";
  }
  std::string Path(ScenarioFile f) const { return ScenarioFilePath(form, f); }
  void Put(ScenarioFile f, const std::string& text) { fs.files()[Path(f)] = text; }
  bool Has(ScenarioFile f) { return fs.Exists(Path(f)); }
  const std::string& Get(ScenarioFile f) { return fs.files().at(Path(f)); }
};

// Joins lines with CR LF after each.
std::string Crlf(std::initializer_list<const char*> lines);

// A minimal route text: the general section with the given length, then the given lines.
std::string Route(int length, std::initializer_list<const char*> features = {});
// A minimal train text: "[generale]" then the given lines, then "[fine]".
std::string Train(std::initializer_list<const char*> lines = {});

// The same three builders over lines made at run time.
std::string CrlfLines(const std::vector<std::string>& lines);
std::string RouteLines(int length, const std::vector<std::string>& features);
std::string TrainLines(const std::vector<std::string>& lines);

// The bytes of the built-in route and train texts, as their writers put them on disk.
std::string BuiltInRouteText();
std::string BuiltInTrainText();

// Bytes as upper-case hex pairs separated by spaces ("06 64 64").
std::string Hex(std::string_view bytes);

// Runs the reader over the texts in the folder, with the settings the compile step gives it.
void ReadSources(MemoryScenario& s, int32_t line_data_flag);

}  // namespace sb::testing
