// `view`: the interactive viewer page of a scenario, made from its two texts (compiled in
// memory) or, without texts, from its three binary files. `serve` and `watch` build the
// same model on every save.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "authoring/reporter.h"
#include "compiler/compile.h"
#include "io/file_names.h"

namespace sb {

extern const char kViewHelp[];

int ViewCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report);

// One build of the model of a scenario, its diagnostics printed through `report`.
struct ViewBuild {
  int status = kExitFailed;  // as `compile`: 0 no fault, 1 faults, 2 failed
  bool fromTexts = false;
  bool hasModel = false;     // `data` (and `svg` when asked for) were made
  std::string data;          // the page data (ViewDataJson)
  std::string svg;           // the plot, when asked for
  std::vector<std::string> written;  // binary files written
};

struct ViewRequest {
  ScenarioNaming names;
  BinaryFiles files = BinaryFiles::kNone;  // what a compile of the texts writes
  int generation = 0;
  bool wantSvg = false;
  bool wantData = true;
  bool quietWhenClean = false;  // no summary line for a compile without fault or warning
};

ViewBuild BuildView(CommandIo& io, Reporter& report, const ViewRequest& request);

// The folder, scenario and train options shared by view, serve and watch: fills `names`;
// false (after reporting the wrong command line) when they are wrong.
bool ScenarioOptions(const std::string& dir, const std::string& scenario, const std::string& train,
                     char separator, Reporter& report, ScenarioNaming* names, int* status);

// A path as an editor link needs it: absolute, UTF-8.
std::string AbsolutePathUtf8(const std::string& path);

}  // namespace sb
