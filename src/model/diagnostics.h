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

// A place in a source text: a line and, when known, the columns of one field on it.
// Columns count bytes of the text (one character each in Windows-1252) from 1.
struct SourceRef {
  SourceFile file = SourceFile::kNone;
  int32_t line = 0;       // 1-based; 0 when unknown
  int32_t column = 0;     // first column of the field; 0 when the line as a whole is meant
  int32_t endColumn = 0;  // the column after the field's last character
};

// A further line of a diagnostic: a place it points to (the line that already holds a cell),
// or, without a place, a remark (what the reading left unread).
struct DiagnosticNote {
  SourceRef where;
  std::string message;  // plain words, UTF-8
};

// A change of the text that mends a diagnostic: `text` takes the place of the columns of
// `where`; with column == endColumn it is inserted there (at column 1, with a line end of its
// own, it is a new line before that line).
struct TextFix {
  SourceRef where;
  std::string text;   // Windows-1252, as the text would hold it
  std::string title;  // what the change does, in words, UTF-8 ("replace with 'pendenza'")
};

struct FaultRecord {
  int32_t code = 0;
  std::optional<int32_t> position;  // metres, for the codes that carry one
  SourceRef where;                  // the field at fault; for the cell pass, the item's line
  std::optional<int32_t> cell;      // cell pass faults name their cell
  std::string message;              // plain words, UTF-8
  std::vector<DiagnosticNote> notes;
  std::string help;                 // how to mend this one, when it says more than its code's
  std::optional<TextFix> fix;
};

struct WarningRecord {
  SourceRef where;
  std::string message;  // plain words, UTF-8
  std::vector<DiagnosticNote> notes;
  std::string help;
  std::optional<TextFix> fix;
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
