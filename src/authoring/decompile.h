// From the three binary files of a scenario back to a route text and a train text that
// compile to the same bytes; and the check that they do.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io/file_names.h"

namespace sb {

// The bytes of a compiled scenario.
struct ScenarioBinaries {
  std::string track;                    // NAME_NUMBER.dat
  std::string settings;                 // NAME_NUMBER.sim
  std::optional<std::string> lineData;  // NAME_linea.dat, when there is one
};

// What a compile of two texts in memory gave.
struct CompiledTexts {
  std::string failure;  // why the compile could not complete; empty when it did
  int32_t errorCode = 0;
  int32_t errorPosition = 0;
  ScenarioBinaries files;
};

// Compiles a route text and a train text (their bytes) as `compile` does, in memory; with
// the line data file when `lineData`.
CompiledTexts CompileTexts(const std::string& route, const std::string& train,
                           const std::string& scenario, const std::string& trainNumber,
                           bool lineData);

// One cell, row or stretch of points where the compiled texts do not give the file's bytes.
struct FileDifference {
  ScenarioFile file;  // kTrack, kTrainSettings or kLineData
  std::string what;   // in words: "cell 161 (8050 m): value1 is 42 in the file, 41 from the texts"
};

struct Decompiled {
  std::vector<std::string> routeLines;  // without line ends, Windows-1252
  std::vector<std::string> trainLines;
  // Empty when the two texts compile to the files byte for byte.
  std::vector<FileDifference> differences;
  // Faults that the compile of the texts records, in words (the files may carry them too).
  std::vector<std::string> compileFaults;
  // The names the files were compiled under (rows 85 and 86).
  std::string storedScenario, storedTrain;
};

// Decodes the files and writes the texts of the scenario `scenario`, train `trainNumber`
// (the names the texts are compiled under). Fails, with *err, when a file cannot be decoded.
bool Decompile(const ScenarioBinaries& files, const std::string& scenario,
               const std::string& trainNumber, Decompiled* out, std::string* err);

// The lines of a text as its bytes: each line followed by CR LF.
std::string TextBytes(const std::vector<std::string>& lines);

// Every cell, row or stretch of points where `got` differs from `want`.
std::vector<FileDifference> CompareBinaries(const ScenarioBinaries& want, const ScenarioBinaries& got);

}  // namespace sb
