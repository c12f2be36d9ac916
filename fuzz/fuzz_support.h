// Shared pieces of the fuzz targets: an in-memory scenario folder and a check that stops
// the run loudly, so that the fuzzer and the corpus replay both see a broken invariant.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "io/file_names.h"
#include "io/file_system.h"
#include "memory_file_system.h"
#include "model/form1.h"

namespace sb::fuzz {

[[noreturn]] inline void Broken(const char* what, const char* file, int line) {
  std::fprintf(stderr, "%s:%d: invariant broken: %s\n", file, line, what);
  std::abort();
}

#define SB_CHECK(cond) \
  do {                 \
    if (!(cond)) ::sb::fuzz::Broken(#cond, __FILE__, __LINE__); \
  } while (0)

// A Form1 on an in-memory folder, named like the built-in scenario.
struct Folder {
  MemoryFileSystem fs;
  Form1 form;

  Folder() {
    form.run.fs = &fs;
    form.run.folder = "/scn";
    form.run.separator = '/';
    form.ScenarioName = "Torbena-Sarvico-Zeva";
    form.TrainNumber = "47302";
  }
  std::string Path(ScenarioFile f) const { return ScenarioFilePath(form, f); }
  void Put(ScenarioFile f, std::string_view text) { fs.files()[Path(f)] = std::string(text); }
  bool Has(ScenarioFile f) { return fs.Exists(Path(f)); }
};

// Splits a compile input at its first form feed: the route text before it, the train
// text after it. Without a form feed there is no train text.
inline bool SplitTexts(std::string_view in, std::string_view* route, std::string_view* train) {
  size_t ff = in.find('\f');
  if (ff == std::string_view::npos) {
    *route = in;
    return false;
  }
  *route = in.substr(0, ff);
  *train = in.substr(ff + 1);
  return true;
}

// After any compile: the model's structures agree with their sizes.
void CheckModel(const Form1& form);

}  // namespace sb::fuzz
