// Names of every file of a scenario: directory, separator, scenario name, and a suffix;
// the train files put "_" and the train number before their suffix.
#pragma once

#include <string>

namespace sb {

enum class ScenarioFile {
  kRouteSource,     // _linea.txt
  kTrainSource,     // _<train>-.txt
  kNotes,           // _<train>_note.txt
  kSlowdownOrder,   // _<train>_rallentamenti.txt
  kTrainCard,       // _<train>_scheda_treno.txt
  kLineData,        // _linea.dat
  kTrainSettings,   // _<train>.sim
  kTrack,           // _<train>.dat
};

// The bare file name, without directory.
std::string ScenarioFileName(const std::string& scenario, const std::string& train, ScenarioFile file);
// What names the files of one scenario: the folder they live in (without a trailing
// separator; empty for the root), its separator, the scenario name and the train number.
struct ScenarioNaming {
  std::string folder;
  char separator = '/';
  std::string scenario;
  std::string train;
};

// The full path: folder, separator, file name.
std::string ScenarioFilePath(const ScenarioNaming& naming, ScenarioFile file);
// The folder as a path of its own: the root is its separator alone.
std::string ScenarioFolder(const ScenarioNaming& naming);

// Whether a scenario name and a train number give sound names to the files of a compile (the
// two source texts and the three binary files) wherever the files may go: no path separator,
// no character that Windows refuses in a file name, no device name of Windows (CON, NUL,
// COM1, ...) before the first '.' of a name, and no two names equal when letter case is
// ignored, as Windows compares them. When not, *why says which name and why.
bool CheckScenarioNames(const std::string& scenario, const std::string& train, std::string* why);

}  // namespace sb
