#include "io/file_names.h"

#include <iterator>
#include <string_view>
#include <utility>


namespace sb {
namespace {

struct CompileFile {
  ScenarioFile file;
  const char* what;
};
constexpr CompileFile kCompileFiles[] = {
    {ScenarioFile::kRouteSource, "route text"},
    {ScenarioFile::kTrainSource, "train text"},
    {ScenarioFile::kLineData, "line data file"},
    {ScenarioFile::kTrainSettings, "train settings file"},
    {ScenarioFile::kTrack, "track file"},
};

std::string HexByte(unsigned char c) {
  static const char kHex[] = "0123456789ABCDEF";
  return {kHex[c >> 4], kHex[c & 0xF]};
}

// A name as quoted in a message: control characters as \xNN, so the message stays one line.
std::string Shown(const std::string& name) {
  std::string s = "'";
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    s += c < 0x20 ? "\\x" + HexByte(c) : std::string(1, ch);
  }
  return s + "'";
}

// Why a name may not be part of a file name, or "".
std::string BadCharacter(const std::string& name) {
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (ch == '/' || ch == '\\') return std::string("contains '") + ch + "', a path separator";
    if (c < 0x20)
      return "contains the control character 0x" + HexByte(c) +
             ", which Windows does not allow in a file name";
    if (std::string_view("<>:\"|?*").find(ch) != std::string_view::npos)
      return std::string("contains '") + ch + "', which Windows does not allow in a file name";
  }
  return "";
}

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

// Equal but for the case of ASCII letters. The names of a compile differ only where the
// train number stands against the fixed words "linea", ".txt", ...: no other letter can
// make two of them one.
bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Upper(a[i]) != Upper(b[i])) return false;
  return true;
}

// The device Windows opens for a file name whose part before its first '.' (trailing
// blanks aside) is a device name, or "".
std::string DeviceOf(const std::string& file_name) {
  std::string_view base(file_name);
  base = base.substr(0, base.find('.'));
  while (!base.empty() && base.back() == ' ') base.remove_suffix(1);
  for (const char* device : {"CON", "PRN", "AUX", "NUL"})
    if (SameNoCase(base, device)) return std::string(base);
  // COM0 to COM9 and LPT0 to LPT9, and the same with a superscript 1, 2 or 3 (UTF-8).
  if (base.size() < 4) return "";
  std::string_view port = base.substr(0, 3), number = base.substr(3);
  if (!SameNoCase(port, "COM") && !SameNoCase(port, "LPT")) return "";
  if (number.size() == 1 && number[0] >= '0' && number[0] <= '9') return std::string(base);
  for (const char* superscript : {"\xC2\xB9", "\xC2\xB2", "\xC2\xB3"})
    if (number == superscript) return std::string(base);
  return "";
}

}  // namespace

std::string ScenarioFileName(const std::string& s, const std::string& t, ScenarioFile file) {
  switch (file) {
    case ScenarioFile::kRouteSource: return s + "_linea.txt";
    case ScenarioFile::kTrainSource: return s + "_" + t + "-.txt";
    case ScenarioFile::kNotes: return s + "_" + t + "_" + "note.txt";
    case ScenarioFile::kSlowdownOrder: return s + "_" + t + "_" + "rallentamenti.txt";
    case ScenarioFile::kTrainCard: return s + "_" + t + "_" + "scheda_treno.txt";
    case ScenarioFile::kLineData: return s + "_linea.dat";
    case ScenarioFile::kTrainSettings: return s + "_" + t + ".sim";
    case ScenarioFile::kTrack: return s + "_" + t + ".dat";
  }
  return s;
}

std::string ScenarioFilePath(const ScenarioNaming& n, ScenarioFile file) {
  return n.folder + n.separator + ScenarioFileName(n.scenario, n.train, file);
}

bool CheckScenarioNames(const std::string& scenario, const std::string& train, std::string* why) {
  for (const auto& [name, what] : {std::pair{&scenario, "the scenario name "},
                                   std::pair{&train, "the train number "}}) {
    std::string bad = BadCharacter(*name);
    if (!bad.empty()) {
      *why = what + Shown(*name) + " " + bad;
      return false;
    }
  }
  // Every name starts with the scenario name and "_": only the train number can make two of
  // them equal, and only the scenario name can lead one with a device name.
  for (const CompileFile& f : kCompileFiles) {
    std::string name = ScenarioFileName(scenario, train, f.file);
    std::string device = DeviceOf(name);
    if (!device.empty()) {
      *why = "the scenario name " + Shown(scenario) + " makes the " + f.what + " name " + name +
             ", which Windows takes for the device " + device;
      return false;
    }
  }
  for (size_t i = 0; i < std::size(kCompileFiles); ++i) {
    for (size_t k = 0; k < i; ++k) {
      std::string a = ScenarioFileName(scenario, train, kCompileFiles[i].file);
      std::string b = ScenarioFileName(scenario, train, kCompileFiles[k].file);
      if (!SameNoCase(a, b)) continue;
      *why = "the train number " + Shown(train) + " makes the " + kCompileFiles[i].what + " name " +
             a + (a == b ? " equal to the " + std::string(kCompileFiles[k].what) + "'s"
                         : " equal to the " + std::string(kCompileFiles[k].what) + "'s " + b +
                               " when letter case is ignored, as Windows compares names");
      return false;
    }
  }
  return true;
}

std::string ScenarioFolder(const ScenarioNaming& n) {
  return n.folder.empty() ? std::string(1, n.separator) : n.folder;
}

}  // namespace sb
