#include "readers/reader_support.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/faults.h"
#include "model/run_errors.h"
#include "readers/field_reader.h"
#include "readers/format_table.h"
#include "readers/key_match.h"

namespace sb {

uint8_t ToByte(int64_t v, const char* what) {
  if (v < 0 || v > 255)
    throw ReadFailure(std::string(what) + " " + std::to_string(v) + " does not fit a byte (0 to 255)");
  return static_cast<uint8_t>(v);
}

int16_t ToInt16(int64_t v, const char* what) {
  if (v < INT16_MIN || v > INT16_MAX)
    throw ReadFailure(std::string(what) + " " + std::to_string(v) +
                      " does not fit a 16-bit value (-32768 to 32767)");
  return static_cast<int16_t>(v);
}

int32_t ToInt32(int64_t v, const char* what) {
  if (v < INT32_MIN || v > INT32_MAX)
    throw ReadFailure(std::string(what) + " " + std::to_string(v) + " does not fit a 32-bit value");
  return static_cast<int32_t>(v);
}

void DeleteSourceText(Form1& form, const std::string& path) {
  if (!form.run.deleteSources) return;
  std::string err;
  if (!form.run.fs->RemoveFile(path, &err)) throw ReadFailure("cannot delete " + PathToUtf8(path) + ": " + PathToUtf8(err));
}

void WarnUnknownKey(Form1& form, const FieldReader& in, const std::string& key, SourceRef where,
                    std::span<const char* const> keys) {
  if (!in.FieldStartsLine()) return;
  std::string trimmed = key;
  while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.pop_back();
  if (trimmed.empty()) return;
  if (Contains(trimmed, "-")) return;
  if (Contains(trimmed, "[") && Contains(trimmed, "]")) return;
  if (!KeepsWarning(form, where)) {
    RecordWarning(form, where, std::string());  // counted only: no search for a near key
    return;
  }
  std::string msg = "unknown key " + Quoted(trimmed) + ", line ignored";
  const char* nearest = NearestKey(trimmed, keys);
  if (nearest) msg += std::string(" (did you mean '") + nearest + "'?)";
  WarningRecord* w = RecordWarning(form, where, msg);
  if (w && nearest) w->fix = TextFix{where, nearest, std::string("replace with '") + nearest + "'"};
}

namespace {

std::string TextName(SourceFile file) {
  return file == SourceFile::kRoute ? "route text" : "train text";
}

// "column 3 (length)", or "column 3" for a key the table does not know.
std::string ColumnName(const KeyInfo* key, size_t index) {
  std::string s = "column " + std::to_string(index);
  if (key && index >= 1 && index <= key->columns.size())
    s += std::string(" (") + key->columns[index - 1].name + ")";
  return s;
}

}  // namespace

void FinishLine(Form1& form, const FieldReader& in, SourceFile text, const std::string& key) {
  const KeyInfo* info = KeyOfField(text, key);
  const SourceRef key_place = in.Field(0);
  for (const OddNumber& n : in.OddNumbers()) {
    if (info && n.index >= 1 && n.index <= info->columns.size() &&
        info->columns[n.index - 1].kind == ValueKind::kNumberOrText && n.field.find_first_of("0123456789") == std::string::npos)
      continue;  // a word there means "no number"
    std::string what = ColumnName(info, n.index) + " reads " + Quoted(n.field) + " as " +
                       std::to_string(n.value);
    std::string help;
    if (n.field.find_first_of("0123456789") == std::string::npos || n.field.find_first_of("0123456789") > 1) {
      what += ": it is not a number";
    } else if (n.field.find('.') != std::string::npos &&
               n.field.find_first_not_of("+-0123456789.") == std::string::npos) {
      what += ": a '.' starts the decimals, and the value is rounded to a whole number";
      help = "write whole numbers without a '.': 4500 for four thousand five hundred";
    } else {
      what += ": the characters after the number are not read";
      help = "write the number alone, in the unit of the column";
    }
    if (WarningRecord* w = RecordWarning(form, n.where, what)) w->help = help;
  }
  const size_t values = in.FieldCount() - 1;
  if (values == 0 || in.FieldLine() == key_place.line) return;
  size_t on_line = 0;
  while (on_line < values && in.Field(on_line + 1).line == key_place.line) ++on_line;
  std::string missing = on_line + 1 == values
                            ? ColumnName(info, values)
                            : "columns " + std::to_string(on_line + 1) + " to " + std::to_string(values);
  if (info && on_line + 1 < values) {
    missing += " (";
    for (size_t i = on_line + 1; i <= values && i <= info->columns.size(); ++i)
      missing += std::string(i > on_line + 1 ? ", " : "") + info->columns[i - 1].name;
    missing += ")";
  }
  const std::string what = info ? std::string(info->key) : Quoted(key);
  if (WarningRecord* w = RecordWarning(
          form, key_place,
          "the line " + Quoted(key) + " has " + std::to_string(on_line) + " of its " + std::to_string(values) +
              " values: " + missing + (on_line + 1 == values ? " was" : " were") + " taken from line " +
              std::to_string(in.Field(on_line + 1).line)))
    w->help = "give every value of a " + what + " line on its own line";
}

void WarnBeforeGeneral(Form1& form, const FieldReader& in, SourceFile text, const std::string& field) {
  if (!in.FieldStartsLine()) return;
  const KeyInfo* k = KeyOfField(text, field);
  if (!k) return;
  if (WarningRecord* w = RecordWarning(
          form, in.FieldPlace(),
          "this " + std::string(k->item) + " line stands before the line \"[generale]\", where the " +
              TextName(text) + "'s reading begins: it is not read"))
    w->help = "move it after the line \"[generale]\"";
}

void WarnUtf8(Form1& form, std::string_view text, SourceFile file) {
  const bool bom = text.substr(0, 3) == "\xEF\xBB\xBF";
  // The first byte above 127, and whether every such byte belongs to a valid sequence.
  size_t high = 0;
  while (high < text.size() && static_cast<unsigned char>(text[high]) < 0x80) ++high;
  if (!bom && (high == text.size() || !IsValidUtf8(text))) return;
  size_t at = bom ? 0 : high;
  size_t len = 1;
  while (at + len < text.size() && (static_cast<unsigned char>(text[at + len]) & 0xC0) == 0x80) ++len;
  if (bom) len = 3;
  // Line and column of the sequence.
  int32_t line = 1;
  size_t line_start = 0;
  for (size_t i = 0; i < at; ++i)
    if (text[i] == '\n') {
      ++line;
      line_start = i + 1;
    }
  const SourceRef where{file, line, static_cast<int32_t>(at - line_start) + 1,
                        static_cast<int32_t>(at - line_start + len) + 1};
  const std::string seq(text.substr(at, len));
  std::string hex;
  for (unsigned char c : seq) {
    static const char kHex[] = "0123456789ABCDEF";
    hex += std::string(hex.empty() ? "" : " ") + kHex[c >> 4] + kHex[c & 0xF];
  }
  std::string message =
      bom ? "the " + TextName(file) + " starts with a UTF-8 byte-order mark (EF BB BF): it is UTF-8, "
                                       "but the texts are read as Windows-1252"
          : "the " + TextName(file) + " looks like UTF-8: '" + seq + "' is written as the bytes " + hex +
                ", which the texts' code page, Windows-1252, reads as '" + Cp1252ToUtf8(seq) +
                "', and so the simulator will show it";
  if (WarningRecord* w = RecordWarning(form, where, message))
    w->help = "save the text in the Windows-1252 (ANSI) code page";
}

DiagnosticNote UnreadNote(const FieldReader& in, SourceFile file) {
  int32_t first = 0;
  std::string_view rest = in.UnreadLines(&first);
  // Count the lines that hold something, by the kind of their key.
  std::vector<std::pair<const KeyInfo*, size_t>> counts;
  int32_t line = first, last = first - 1;
  size_t others = 0;
  for (size_t pos = 0; pos < rest.size(); ++line) {
    size_t nl = rest.find('\n', pos);
    std::string_view l = rest.substr(pos, nl == std::string_view::npos ? std::string_view::npos : nl - pos);
    pos = nl == std::string_view::npos ? rest.size() : nl + 1;
    size_t lead = l.find_first_not_of(" \t\r");
    if (lead == std::string_view::npos) continue;
    std::string key(l.substr(lead, l.find(',', lead) == std::string_view::npos ? std::string_view::npos
                                                                              : l.find(',', lead) - lead));
    if (Contains(key, "[") && Contains(key, "]")) continue;  // a section head
    if (Contains(key, "-")) continue;                         // a comment
    last = line;
    const KeyInfo* k = KeyOfField(file, key);
    if (!k) {
      ++others;
      continue;
    }
    auto it = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == k; });
    if (it == counts.end()) counts.push_back({k, 1});
    else ++it->second;
  }
  if (last < first) return DiagnosticNote{SourceRef{}, "reading stopped here, at the last line of the " + TextName(file)};
  std::string what;
  for (const auto& [k, n] : counts)
    what += (what.empty() ? "" : ", ") + std::to_string(n) + " " + (n == 1 ? k->item : k->items);
  if (others > 0) what += (what.empty() ? "" : ", ") + std::to_string(others) + (others == 1 ? " other line" : " other lines");
  std::string lines = first == last ? "line " + std::to_string(first) + " was"
                                    : "lines " + std::to_string(first) + " to " + std::to_string(last) + " were";
  return DiagnosticNote{SourceRef{}, "reading stopped here; " + lines + " not read" +
                                         (what.empty() ? std::string() : " (" + what + ")")};
}

}  // namespace sb
