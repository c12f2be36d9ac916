#include "scenario/text_file.h"

#include "io/file_system.h"
#include "model/form1.h"
#include "model/run_errors.h"

namespace sb {

LineTable::LineTable(const std::vector<std::string>& lines) : slots_(kLineTableSlots) {
  for (size_t k = 0; k < lines.size(); ++k) slots_.at(k) = lines[k];
  slots_.at(lines.size()) = kEndMarker;
}

std::string RenderLines(const LineTable& table) {
  std::string out;
  for (size_t k = 0; k < kLineTableSlots; ++k) {
    if (table[k] == kEndMarker) break;
    out += table[k];
    out += "\r\n";
  }
  return out;
}

void WriteTextFile(Form1& form, ScenarioFile file, const LineTable& table) {
  std::string path = ScenarioFilePath(form, file);
  std::string err;
  if (!form.run.fs->ReplaceFile(path, RenderLines(table), &err)) throw RunFailure(path, err);
}

}  // namespace sb
