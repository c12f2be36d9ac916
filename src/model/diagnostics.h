// Faults and warnings met during a compile, kept with the source line that caused them.
#pragma once

#include <array>
#include <cstddef>
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

// Warnings kept of each source text; those after them are only counted, so that a text of
// millions of odd lines costs no memory for its warnings.
inline constexpr size_t kWarningsKeptPerText = 1000;

struct Diagnostics {
  std::vector<FaultRecord> faults;
  std::vector<WarningRecord> warnings;  // the first kWarningsKeptPerText of each text
  std::array<size_t, 3> warningsKept{};     // by SourceFile
  std::array<size_t, 3> warningsLeftOut{};  // by SourceFile: met after the kept ones

  size_t WarningCount() const {
    return warnings.size() + warningsLeftOut[0] + warningsLeftOut[1] + warningsLeftOut[2];
  }
  void Clear() { *this = Diagnostics(); }
};

}  // namespace sb
