#include "authoring/explain_command.h"

#include <cctype>
#include <string_view>

#include "authoring/command_line.h"
#include "readers/format_table.h"

namespace sb {

const char kExplainHelp[] =
    "usage: scenario-builder explain [CODE | KEY]\n"
    "\n"
    "Describes a fault code (a number such as 16): when it happens, what it does to the\n"
    "rest of the reading and to the binary files, how to mend the text. Or a key of the\n"
    "route or train text (such as stazione, pendenza or curvad3): its section, how the\n"
    "key is recognised, and each of its columns with its unit, range, meaning and where\n"
    "the value lands. Without an argument, lists the fault codes and the keys.\n"
    "\n"
    "The manual of the two texts, docs/format.md, holds the same descriptions.\n";

namespace {

constexpr size_t kWidth = 82;

// `text` filled into lines of kWidth, each led by `indent` (the first by `first`).
std::string Fill(std::string_view text, const std::string& first, const std::string& indent) {
  std::string out = first;
  size_t column = first.size();
  bool line_start = true;
  while (!text.empty()) {
    const size_t space = text.find(' ');
    const std::string_view word = text.substr(0, space);
    text = space == std::string_view::npos ? std::string_view() : text.substr(space + 1);
    if (word.empty()) continue;
    if (!line_start && column + 1 + word.size() > kWidth) {
      out += "\n" + indent;
      column = indent.size();
      line_start = true;
    }
    if (!line_start) {
      out += ' ';
      ++column;
    }
    out += word;
    column += word.size();
    line_start = false;
  }
  return out + "\n";
}

const char* TextName(SourceFile text) {
  switch (text) {
    case SourceFile::kRoute: return "route text";
    case SourceFile::kTrain: return "train text";
    case SourceFile::kNone: break;
  }
  return "either text, or the compile";
}

bool IsNumber(const std::string& s) {
  if (s.empty() || s.size() > 9) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

std::string List() {
  std::string out = "Fault codes (scenario-builder explain CODE):\n";
  for (const FaultInfo& f : FaultCodes()) {
    std::string code = "  " + std::to_string(f.code);
    code.resize(8, ' ');
    out += Fill(f.title, code, "        ");
  }
  out += "\nKeys (scenario-builder explain KEY):\n";
  for (const KeyInfo& k : SourceKeys()) {
    std::string key = "  " + std::string(k.key);
    key.resize(34, ' ');
    out += Fill(std::string(TextName(k.text)) + ", " + k.section + ": " + k.item, key,
                std::string(34, ' '));
  }
  return out;
}

}  // namespace

std::string ExplainFault(const FaultInfo& f) {
  std::string out = "fault " + std::to_string(f.code) + " (" + TextName(f.text) + "): " + f.title + "\n";
  out += Fill(f.when, "  When:   ", "          ");
  out += Fill(f.effect, "  Effect: ", "          ");
  out += Fill(f.fix, "  Fix:    ", "          ");
  return out;
}

std::string ExplainKey(const KeyInfo& k) {
  std::string out = std::string(k.key) + " (" + TextName(k.text) + ", section " + k.section +
                    "): " + k.item + "\n";
  out += Fill(k.meaning, "  ", "  ");
  out += Fill(std::string("Recognised: a line whose key ") + k.recognised +
                  (k.general ? "; read only in the general section." : "."),
              "  ", "  ");
  out += "  Example:\n    " + std::string(k.example) + "\n";
  out += "  Columns, after the key, separated by commas:\n";
  for (size_t i = 0; i < k.columns.size(); ++i) {
    const ColumnInfo& c = k.columns[i];
    std::string head = "  " + std::to_string(i + 1) + ". " + c.name + " (";
    if (*c.unit) head += std::string(c.unit) + ", ";
    head += std::string(ValueKindName(c.kind)) + ")\n";
    out += head;
    out += Fill(c.range, "       range:   ", "                ");
    out += Fill(c.meaning, "       meaning: ", "                ");
    out += Fill(c.lands, "       lands:   ", "                ");
  }
  return out;
}

int ExplainCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  ParsedArgs a;
  std::string err;
  if (!ParseArgs(args, {}, 1, &a, &err)) return report.WrongUsage(err);
  if (a.positional.empty()) {
    *io.out << List();
    return kExitOk;
  }
  const std::string& what = a.positional[0];
  if (IsNumber(what)) {
    if (const FaultInfo* f = FindFault(std::stoi(what))) {
      *io.out << ExplainFault(*f);
      return kExitOk;
    }
    return report.WrongUsage("no fault has the code " + what +
                             " ('scenario-builder explain' lists them)");
  }
  const KeyInfo* key = FindSourceKey(what);
  if (key == nullptr) key = KeyOfField(SourceFile::kRoute, what);  // curvad3, "progressiva uno"
  if (key == nullptr) key = KeyOfField(SourceFile::kTrain, what);
  if (key != nullptr) {
    *io.out << ExplainKey(*key);
    return kExitOk;
  }
  std::vector<const char*> names;
  for (const KeyInfo& k : SourceKeys()) names.push_back(k.key);
  return report.WrongUsage("no key or fault code '" + what + "'" + DidYouMean(what, names) +
                           " ('scenario-builder explain' lists them)");
}

}  // namespace sb
