// The shared writing steps of every text file: a table of line slots closed by an end
// marker, written with CR LF after each line and replacing any earlier file.
#pragma once

#include <string>
#include <vector>

#include "io/file_names.h"

namespace sb {

struct Form1;

inline constexpr char kEndMarker[] = "riferimento fine del file";
constexpr int kLineTableSlots = 1001;  // slots 0 to 1000

class LineTable {
 public:
  LineTable() : slots_(kLineTableSlots) {}
  // Fills the slots in file order and puts the end marker after the last line.
  explicit LineTable(const std::vector<std::string>& lines);
  std::string& operator[](size_t slot) { return slots_.at(slot); }
  const std::string& operator[](size_t slot) const { return slots_.at(slot); }

 private:
  std::vector<std::string> slots_;
};

// The bytes of the file: each slot up to the end marker, followed by CR LF.
std::string RenderLines(const LineTable& table);

// Writes the table as the named file of the scenario; a failing file step ends the run.
void WriteTextFile(Form1& form, ScenarioFile file, const LineTable& table);

}  // namespace sb
