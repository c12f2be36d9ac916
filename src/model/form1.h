// Module state of the one run: settings and station rows, track cells, plan of the line.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "io/file_names.h"
#include "model/diagnostics.h"
#include "model/line_grid.h"

namespace sb {

class FileSystem;

struct StationRecord {
  uint8_t kind = 0;
  int32_t extentStart = 0;
  int32_t extentEnd = 0;
  int32_t position = 0;
  uint8_t stationFlag1 = 0;
  std::string name;
  int16_t stationValue1 = 0;
  int16_t stationValue2 = 0;
  int16_t stationValue3 = 0;
  int16_t stationValue4 = 0;
  int16_t stationValue5 = 0;
  uint8_t stationFlag4 = 0;
  uint8_t stationFlag5 = 0;
  uint8_t stationFlag3 = 0;
  uint8_t stationFlag2 = 0;
  int32_t timetableSeconds = 0;

  bool operator==(const StationRecord&) const = default;
};

// Cell types of the track.
enum CellType : uint8_t {
  kCellEmpty = 0,
  kCellSignal = 1,
  kCellSlowdownEnd = 2,
  kCellSlowdownStart = 3,
  kCellSlowdownWarning = 4,
  kCellSlowdownPreannounce = 5,
  kCellSpeedBoards = 6,
  kCellStationStop = 10,
  kCellMountainMarker = 11,
  kCellLimitMarker = 12,
  kCellCodeReduction = 13,
  kCellIndicationBoard = 14,
};

struct TrackCell {
  uint8_t cellType = 0;
  int16_t value1 = 0;
  int16_t value2 = 0;
  int16_t value3 = 0;
  int16_t value4 = 0;
  uint8_t value5 = 0;
  uint8_t approachMark = 0;
  uint8_t mountain = 0;
  uint8_t speedLimit = 0;
  uint8_t gradient = 0;
  uint8_t adhesion = 0;
};

inline bool IsFree(const TrackCell& c) {
  return c.cellType == kCellEmpty || c.cellType == kCellMountainMarker;
}

constexpr int kStationRows = 87;
constexpr int kRowKmTre = 81;
constexpr int kRowKmDue = 82;
constexpr int kRowKmUno = 83;
constexpr int kRowTrain = 84;
constexpr int kRowLine = 85;
constexpr int kRowSignals = 86;
constexpr int kFirstBoardRow = 80;

// The run's own context, beside the module state: where the files live and how they are
// reached, and what the authoring tools learn of each item and fault.
struct RunContext {
  FileSystem* fs = nullptr;
  std::string folder;     // the base directory of every file, without a trailing separator
  char separator = '/';
  bool deleteSources = true;  // the default run deletes the two source texts after reading
  std::vector<SourceRef> cellSource;  // which source line put the item of each cell
  Diagnostics diag;
};

// Module state of the one window: the values, tables and structures of the scenario.
struct Form1 {
  std::string ScenarioName;
  std::string TrainNumber;
  int32_t LineDataFlag = 0;
  std::string InputField;
  int32_t TotalLength = 0;
  int32_t CellCount = 0;
  int32_t ErrorCode = 0;
  int32_t ErrorPosition = 0;
  int32_t MountainCount = 0;
  // Index 0 unused; stretch n at index n. They grow past 80 stretches.
  std::vector<int32_t> MountainStarts = std::vector<int32_t>(81, 0);
  std::vector<int32_t> MountainEnds = std::vector<int32_t>(81, 0);
  std::array<StationRecord, kStationRows> StationTable;
  bool HasTrack = false;
  std::vector<TrackCell> TrackCells;
  LineGrid Grid;

  RunContext run;

  TrackCell& Cell(int64_t index);  // fault 25 (ReadFailure) outside 0..CellCount
  void CreateTrack(int32_t route_length);
  // The folder, separator, scenario name and train number that name the run's files.
  ScenarioNaming Naming() const { return {run.folder, run.separator, ScenarioName, TrainNumber}; }
};

// The path of one of the run's files.
inline std::string ScenarioFilePath(const Form1& form, ScenarioFile file) {
  return ScenarioFilePath(form.Naming(), file);
}
inline std::string ScenarioFolder(const Form1& form) { return ScenarioFolder(form.Naming()); }

}  // namespace sb
