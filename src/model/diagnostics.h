// Faults and warnings met during a compile, kept with the source line that caused them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace sb {

enum class SourceFile : uint8_t { kNone, kRoute, kTrain };

struct SourceRef {
  SourceFile file = SourceFile::kNone;
  int32_t line = 0;  // 1-based; 0 when unknown
};

struct FaultRecord {
  int32_t code = 0;
  std::optional<int32_t> position;  // metres, for the codes that carry one
  SourceRef where;
  std::optional<int32_t> cell;      // cell pass faults name their cell
  std::string message;              // plain words, UTF-8
};

struct WarningRecord {
  SourceRef where;
  std::string message;  // plain words, UTF-8
};

struct Diagnostics {
  std::vector<FaultRecord> faults;
  std::vector<WarningRecord> warnings;
  void Clear() { faults.clear(); warnings.clear(); }
};

}  // namespace sb
