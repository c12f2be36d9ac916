#include "test_support.h"

#include "readers/source_reader.h"
#include "scenario/scenario_texts.h"
#include "scenario/text_file.h"

namespace sb {

void PrintTo(const StationRecord& r, std::ostream* os) {
  *os << "{kind " << int{r.kind} << ", extent " << r.extentStart << " to " << r.extentEnd << ", position "
      << r.position << ", flags " << int{r.stationFlag1} << ' ' << int{r.stationFlag2} << ' '
      << int{r.stationFlag3} << ' ' << int{r.stationFlag4} << ' ' << int{r.stationFlag5} << ", values "
      << r.stationValue1 << ' ' << r.stationValue2 << ' ' << r.stationValue3 << ' ' << r.stationValue4 << ' '
      << r.stationValue5 << ", seconds " << r.timetableSeconds << ", name '" << r.name << "'}";
}

}  // namespace sb

namespace sb::testing {

std::string Crlf(std::initializer_list<const char*> lines) {
  std::string s;
  for (const char* l : lines) {
    s += l;
    s += "\r\n";
  }
  return s;
}

std::string Route(int length, std::initializer_list<const char*> features) {
  std::string s = "[generale]\r\nlunghezza percorso,    " + std::to_string(length) + "\r\n";
  s += "progressiva chilometrica uno,    0,    0,    0\r\n";
  s += "progressiva chilometrica due,    0,    0,    0\r\n";
  s += "progressiva chilometrica tre,    0,    0,    0\r\n";
  s += "sfondo uno,    1\r\nsfondo due,    0\r\nsfondo tre,    0\r\n";
  s += "ripetizione segnali 9 codici,    1500,    360000\r\n[curve]\r\n";
  for (const char* l : features) {
    s += l;
    s += "\r\n";
  }
  s += "[fine]\r\n";
  return s;
}

std::string Train(std::initializer_list<const char*> lines) {
  std::string s = "[generale]\r\n";
  for (const char* l : lines) {
    s += l;
    s += "\r\n";
  }
  s += "[fine]\r\n";
  return s;
}

std::string CrlfLines(const std::vector<std::string>& lines) {
  std::string s;
  for (const std::string& l : lines) s += l + "\r\n";
  return s;
}

std::string RouteLines(int length, const std::vector<std::string>& features) {
  std::string s = Route(length);
  s.resize(s.size() - std::string("[fine]\r\n").size());
  return s + CrlfLines(features) + "[fine]\r\n";
}

std::string TrainLines(const std::vector<std::string>& lines) {
  return "[generale]\r\n" + CrlfLines(lines) + "[fine]\r\n";
}

std::string BuiltInRouteText() { return RenderLines(LineTable(RouteTextLines())); }
std::string BuiltInTrainText() { return RenderLines(LineTable(TrainTextLines())); }

std::string Hex(std::string_view bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string s;
  for (unsigned char c : bytes) {
    if (!s.empty()) s += ' ';
    s += digits[c >> 4];
    s += digits[c & 15];
  }
  return s;
}

void ReadSources(MemoryScenario& s, int32_t line_data_flag) {
  s.form.LineDataFlag = line_data_flag;
  s.form.ErrorCode = 0;
  memorizza_dati(s.form);
}

}  // namespace sb::testing
