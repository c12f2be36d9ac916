// Names of every file of a scenario: directory, separator, scenario name, and a suffix;
// the train files put "_" and the train number before their suffix.
#pragma once

#include <string>

namespace sb {

struct Form1;

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
std::string NomeFile(const std::string& scenario, const std::string& train, ScenarioFile file);
// The full path in the run's base directory.
std::string PercorsoFile(const Form1& form, ScenarioFile file);
// The base directory as a path of its own: the root is its separator alone.
std::string ScenarioFolder(const Form1& form);

}  // namespace sb
