#include "authoring/lsp_features.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "io/text_encoding.h"
#include "model/rounding.h"
#include "readers/field_reader.h"
#include "readers/key_match.h"

namespace sb {
namespace {

// LSP kinds used here.
constexpr int kCompletionKeyword = 14;
constexpr int kCompletionModule = 9;
constexpr int kSnippetFormat = 2;
constexpr int kSymbolNamespace = 3;
constexpr int kSymbolField = 8;
constexpr int kSymbolStruct = 23;
constexpr int kSymbolEvent = 24;

bool Blank(char c) { return c == ' ' || c == '\t'; }

bool IsHead(std::string_view field) { return Contains(std::string(field), "[") && Contains(std::string(field), "]"); }

bool IsNumeric(ValueKind k) { return k != ValueKind::kText && k != ValueKind::kTextToLineEnd; }

std::string Utf8(std::string_view cp1252) { return Cp1252ToUtf8(cp1252); }

Json Position(int32_t line, int32_t character) { return Json{{"line", line}, {"character", character}}; }
Json Range(int32_t line, int32_t begin, int32_t end) {
  return Json{{"start", Position(line, begin)}, {"end", Position(line, end)}};
}

std::string_view FieldText(std::string_view line, const LineField& f) {
  return line.substr(static_cast<size_t>(f.begin), static_cast<size_t>(f.end - f.begin));
}

// A text's section heads in the order of the built-in texts, and its end head.
std::vector<std::string> SectionHeads(SourceFile text) {
  std::vector<std::string> heads;
  if (text == SourceFile::kTrain) heads.push_back("[generale]");
  for (const KeyInfo& k : SourceKeys())
    if (k.text == text && std::find(heads.begin(), heads.end(), k.section) == heads.end())
      heads.push_back(k.section);
  heads.push_back("[fine]");
  return heads;
}

// Where a line stands in its text: before "[generale]", in the general section, after it.
enum class Part { kBeforeGeneral, kGeneral, kFeatures };

Part PartAt(SourceFile text, const std::vector<std::string_view>& lines, int32_t line) {
  Part part = Part::kBeforeGeneral;
  for (int32_t i = 0; i < line && i < static_cast<int32_t>(lines.size()); ++i) {
    const LineParse l = ParseLine(text, lines[static_cast<size_t>(i)]);
    if (!l.head) continue;
    const std::string head(FieldText(lines[static_cast<size_t>(i)], l.fields[l.keyIndex]));
    if (part == Part::kBeforeGeneral) {
      if (ContainsNoCase(head, "[generale]")) part = text == SourceFile::kRoute ? Part::kGeneral : Part::kFeatures;
    } else {
      part = Part::kFeatures;
    }
  }
  return part;
}

std::string Grouped(int64_t v) {
  std::string digits = std::to_string(v < 0 ? -v : v), out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return (v < 0 ? "-" : "") + out;
}

// A value with its unit: "8000 m", "60 km/h", "12".
std::string WithUnit(int64_t v, const ColumnInfo& c) {
  return std::to_string(v) + (*c.unit ? std::string(" ") + c.unit : std::string());
}

struct ReadValue {
  bool ok = false;   // a number within the field's width
  int64_t value = 0;
  std::string note;  // how the field was read, when it is more than a number
};

ReadValue ReadColumn(std::string_view field, ValueKind kind) {
  int64_t lo = std::numeric_limits<int32_t>::min(), hi = std::numeric_limits<int32_t>::max();
  if (kind == ValueKind::kInt16 || kind == ValueKind::kNumberOrText) {
    lo = std::numeric_limits<int16_t>::min();
    hi = std::numeric_limits<int16_t>::max();
  } else if (kind == ValueKind::kByte) {
    lo = 0;
    hi = 255;
  }
  ReadValue r;
  size_t used = 0;
  r.ok = FieldReader::ParseNumber(field, lo, hi, &r.value, &used);
  if (!r.ok) {
    r.note = "does not fit a " + std::string(ValueKindName(kind)) + " (" + Grouped(lo) + " to " +
             Grouped(hi) + "): fault 25";
  } else if (used == 0 && !field.empty()) {
    r.note = kind == ValueKind::kNumberOrText ? "a word: no number" : "no digits: read as 0";
  } else if (used < field.size()) {
    r.note = "read as " + std::to_string(r.value) + "; the characters after the number are not read";
  }
  return r;
}

// The values of a line's numeric columns, by column (1-based), as read; 0 when unread.
std::vector<int64_t> LineValues(std::string_view line, const LineParse& l) {
  std::vector<int64_t> v(l.key->columns.size() + 1, 0);
  for (size_t c = 1; c < v.size() && l.keyIndex + c < l.fields.size(); ++c) {
    const ColumnInfo& info = l.key->columns[c - 1];
    if (!IsNumeric(info.kind)) continue;
    const ReadValue r = ReadColumn(FieldText(line, l.fields[l.keyIndex + c]), info.kind);
    if (r.ok) v[c] = r.value;
  }
  return v;
}

std::string Cell(int64_t position) { return "cell " + std::to_string(RoundDiv(position + 50, 50)); }

// Where the value of column `c` (1-based) lands, worked out from the line's values as the
// readers work it out; empty when the table's words say it all.
std::string Landing(const KeyInfo& k, size_t c, const std::vector<int64_t>& v) {
  const std::string key = k.key;
  const ColumnInfo& info = k.columns[c - 1];
  const std::string lands = info.lands;
  const std::string value = WithUnit(v[c], info);
  if (key == "lunghezza percorso")
    return value + ": a track of " + Grouped(RoundDiv(v[1] + 7000, 50)) + " cells (" + Grouped(v[1] + 7000) + " m)";
  if (key == "stazione" && (c == 1 || c == 2 || c == 3 || c == 6)) {
    const int64_t p = v[1], kind = v[2], L = v[3];
    int64_t a = p - L / 2, b = p + L / 2 + (v[6] != 0 ? 50 : 0);
    if (kind == 5 || kind == 6) a = p - L, b = p + 150;
    if (kind == 7 || kind == 8) a = p - L, b = p + L;
    std::string s = "the station's extent: " + std::to_string(a) + " m to " + std::to_string(b) + " m";
    if (kind < 25) s += "; stop mark in cell " + std::to_string(RoundDiv(b - 50, 50));
    return s;
  }
  if (key == "rallentamento" && c == 1)
    return value + ": start in " + Cell(v[1]) + ", warning point in " + Cell(v[1] - 1200);
  if (key == "rallentamento" && c == 3)
    return value + ": end in " + Cell(v[1] + v[3]);
  if (key == "montagna" && (c == 1 || c == 2))
    return "cells " + std::to_string(RoundDiv(v[1], 50)) + " to " + std::to_string(RoundDiv(v[2], 50) - 1);
  if (key == "indicatori_vmax" && c != 1) {
    const size_t left = c <= 5 ? c : c - 4;  // the same value of the left board
    if (left == 5) return "value4 = " + std::to_string(v[5] * 10 + v[9]);
    const int64_t packed = RoundDiv(100 * v[left] + v[left + 4], 5);
    return "value" + std::to_string(left - 1) + " = " + std::to_string(v[left]) + " x 20 + " +
           std::to_string(v[left + 4]) + " / 5 = " + std::to_string(packed) +
           (packed < -32768 || packed > 32767 ? " (does not fit 16 bits: fault 25)" : "");
  }
  if (key == "velocita" && c == 2) return value + ": " + std::to_string(RoundDiv(v[2], 5)) + " in units of 5 km/h";
  if (key == "pendenza" && c == 2) return "stored as " + std::to_string(v[2] + 100);
  if (key == "curvas1" && c == 1)
    return "points " + std::to_string(v[1] + 1) + " to " + std::to_string(v[1] + v[2]);
  if (lands.rfind("cell position / 50 + 1", 0) == 0) return value + ": " + Cell(v[c]);
  if (lands.rfind("from cell position / 50", 0) == 0)
    return value + ": from cell " + std::to_string(RoundDiv(v[c], 50));
  if (lands.rfind("cell position / 50, rounded (no + 1)", 0) == 0)
    return value + ": cell " + std::to_string(RoundDiv(v[c], 50));
  return "";
}

std::string ColumnList(const KeyInfo& k) {
  std::string s;
  for (const ColumnInfo& c : k.columns) s += (s.empty() ? "" : ", ") + std::string(c.name);
  return s;
}

std::string KeyMarkdown(const KeyInfo& k) {
  std::string s = "**" + std::string(k.key) + "**: " + k.item + " (" +
                  (k.text == SourceFile::kRoute ? "route" : "train") + " text, section `" + k.section + "`)\n\n" +
                  k.meaning + "\n\nRecognised: " + k.recognised + ".\n\nColumns: " + ColumnList(k) +
                  ".\n\n`" + k.example + "`";
  return s;
}

std::string ColumnMarkdown(const KeyInfo& k, size_t c, std::string_view field, const std::vector<int64_t>& v) {
  const ColumnInfo& info = k.columns[c - 1];
  std::string s = "**" + std::string(k.key) + "**, column " + std::to_string(c) + " of " +
                  std::to_string(k.columns.size()) + ": **" + info.name + "** (" +
                  (*info.unit ? std::string(info.unit) + ", " : std::string()) + ValueKindName(info.kind) + ")\n\n" +
                  "Range: " + info.range + ".\n\n" + info.meaning + ".\n\nLands in: " + info.lands + ".";
  if (IsNumeric(info.kind)) {
    const ReadValue r = ReadColumn(field, info.kind);
    std::string as_read = r.ok ? Landing(k, c, v) : "";
    if (as_read.empty() && r.ok) as_read = WithUnit(r.value, info);
    if (!r.note.empty()) as_read += (as_read.empty() ? "" : " (") + r.note + (as_read.empty() ? "" : ")");
    s += "\n\nAs read: " + as_read;
  } else {
    s += "\n\nAs read: '" + Utf8(field) + "'";
  }
  return s;
}

std::string HeadMarkdown(SourceFile text, std::string_view head) {
  std::string items;
  for (const KeyInfo& k : SourceKeys())
    if (k.text == text && ContainsNoCase(std::string(head), k.section))
      items += (items.empty() ? "" : ", ") + std::string(k.key);
  std::string s = "**" + Utf8(head) + "**: a section head of the " +
                  (text == SourceFile::kRoute ? "route" : "train") + " text.";
  if (ContainsNoCase(std::string(head), "[generale]"))
    s += text == SourceFile::kRoute ? " The reading begins here; the general section runs to the next head."
                                    : " The reading begins here; nothing before it is read.";
  if (!items.empty()) s += "\n\nIts lines: " + items + ".";
  return s;
}

// "segnale, ${1:position}, ${2:sx}, ..."
std::string Snippet(const KeyInfo& k) {
  std::string s = k.key;
  for (size_t i = 0; i < k.columns.size(); ++i)
    s += ", ${" + std::to_string(i + 1) + ":" + k.columns[i].name + "}";
  return s;
}

}  // namespace

LineParse ParseLine(SourceFile text, std::string_view line) {
  LineParse l;
  const int32_t n = static_cast<int32_t>(line.size());
  int32_t pos = 0;
  auto skip_blanks = [&] {
    while (pos < n && Blank(line[static_cast<size_t>(pos)])) ++pos;
  };
  // A field up to the next comma (and, for a number, a blank), then its separator.
  auto read_field = [&](bool numeric) {
    skip_blanks();
    LineField f;
    f.begin = pos;
    while (pos < n && line[static_cast<size_t>(pos)] != ',' &&
           !(numeric && Blank(line[static_cast<size_t>(pos)])))
      ++pos;
    f.end = pos;
    while (f.end > f.begin && Blank(line[static_cast<size_t>(f.end - 1)])) --f.end;
    if (numeric) skip_blanks();
    if (pos < n && line[static_cast<size_t>(pos)] == ',') ++pos;
    f.next = pos;
    l.fields.push_back(f);
  };
  skip_blanks();
  if (pos >= n) return l;
  // Comment fields, then the key.
  for (;;) {
    read_field(false);
    const std::string_view f = FieldText(line, l.fields.back());
    if (!Contains(std::string(f), "-")) break;
    if (pos >= n) {
      l.comment = true;
      return l;
    }
  }
  l.keyIndex = l.fields.size() - 1;
  const std::string key(FieldText(line, l.fields.back()));
  if (IsHead(key)) {
    l.head = true;
    return l;
  }
  l.key = KeyOfField(text, key);
  size_t column = 0;
  while (pos < n) {
    skip_blanks();
    if (pos >= n) break;
    const bool numeric = l.key && column < l.key->columns.size() && IsNumeric(l.key->columns[column].kind);
    read_field(numeric);
    ++column;
  }
  return l;
}

int FieldAt(const LineParse& line, int32_t character) {
  for (size_t i = 0; i < line.fields.size(); ++i)
    if (line.fields[i].begin <= character && character < line.fields[i].end) return static_cast<int>(i);
  for (size_t i = 0; i < line.fields.size(); ++i)
    if (character == line.fields[i].end && line.fields[i].end > line.fields[i].begin) return static_cast<int>(i);
  return -1;
}

int ActiveField(const LineParse& line, int32_t character) {
  int active = 0;
  for (size_t i = 0; i < line.fields.size(); ++i) {
    const LineField& f = line.fields[i];
    if (character >= f.next && f.next > f.end) active = static_cast<int>(i) + 1;
    else if (character >= f.begin) active = static_cast<int>(i);
  }
  return active;
}

Json HoverAt(SourceFile text, std::string_view cp1252, TextPosition p) {
  const std::vector<std::string_view> lines = SplitLines(cp1252);
  if (p.line < 0 || p.line >= static_cast<int32_t>(lines.size())) return nullptr;
  const std::string_view line = lines[static_cast<size_t>(p.line)];
  const LineParse l = ParseLine(text, line);
  const int at = FieldAt(l, p.character);
  if (at < 0 || l.comment || static_cast<size_t>(at) < l.keyIndex) return nullptr;
  const LineField& f = l.fields[static_cast<size_t>(at)];
  std::string md;
  if (l.head) {
    md = HeadMarkdown(text, FieldText(line, f));
  } else if (!l.key) {
    return nullptr;
  } else if (static_cast<size_t>(at) == l.keyIndex) {
    md = KeyMarkdown(*l.key);
  } else {
    const size_t c = static_cast<size_t>(at) - l.keyIndex;
    if (c > l.key->columns.size()) {
      md = "A value beyond the " + std::to_string(l.key->columns.size()) + " columns of **" + l.key->key +
           "**: it is read as the key of the next line.";
    } else {
      md = ColumnMarkdown(*l.key, c, FieldText(line, f), LineValues(line, l));
    }
  }
  return Json{{"contents", {{"kind", "markdown"}, {"value", md}}}, {"range", Range(p.line, f.begin, f.end)}};
}

Json CompletionAt(SourceFile text, std::string_view cp1252, TextPosition p) {
  const std::vector<std::string_view> lines = SplitLines(cp1252);
  Json items = Json::array();
  std::string_view line = p.line >= 0 && p.line < static_cast<int32_t>(lines.size())
                              ? lines[static_cast<size_t>(p.line)] : std::string_view();
  const LineParse l = ParseLine(text, line);
  // Only in the key field: from its start (or the line's) to the cursor.
  const size_t lead = std::min(line.size(), line.find_first_not_of(" \t"));
  int32_t begin = std::min<int32_t>(p.character, static_cast<int32_t>(lead));
  if (!l.fields.empty()) {
    const LineField& k = l.fields[l.keyIndex];
    if (p.character > k.end && k.next > k.end) return Json{{"isIncomplete", false}, {"items", items}};
    begin = k.begin;
  }
  const int32_t end = std::max(begin, std::min<int32_t>(p.character, static_cast<int32_t>(line.size())));
  const Part part = PartAt(text, lines, p.line);
  const Json range = Range(p.line, begin, end);
  int order = 0;
  auto sort_text = [&order] {
    std::string s = std::to_string(order++);
    return std::string(4 - std::min<size_t>(4, s.size()), '0') + s;
  };
  if (part != Part::kBeforeGeneral) {
    for (const KeyInfo& k : SourceKeys()) {
      if (k.text != text) continue;
      if (text == SourceFile::kRoute && k.general != (part == Part::kGeneral)) continue;
      Json doc = {{"kind", "markdown"}, {"value", KeyMarkdown(k)}};
      items.push_back(Json{{"label", k.key},
                           {"kind", kCompletionKeyword},
                           {"detail", std::string(k.item) + ": " + ColumnList(k)},
                           {"documentation", doc},
                           {"sortText", sort_text()},
                           {"filterText", k.key},
                           {"insertTextFormat", kSnippetFormat},
                           {"textEdit", {{"range", range}, {"newText", Snippet(k)}}}});
    }
  }
  for (const std::string& head : SectionHeads(text)) {
    if (part == Part::kBeforeGeneral && head != "[generale]") continue;
    if (part != Part::kBeforeGeneral && head == "[generale]") continue;
    items.push_back(Json{{"label", head},
                         {"kind", kCompletionModule},
                         {"detail", "section head"},
                         {"sortText", sort_text()},
                         {"filterText", head},
                         {"textEdit", {{"range", range}, {"newText", head}}}});
  }
  return Json{{"isIncomplete", false}, {"items", items}};
}

Json SignatureHelpAt(SourceFile text, std::string_view cp1252, TextPosition p) {
  const std::vector<std::string_view> lines = SplitLines(cp1252);
  if (p.line < 0 || p.line >= static_cast<int32_t>(lines.size())) return nullptr;
  const LineParse l = ParseLine(text, lines[static_cast<size_t>(p.line)]);
  const KeyInfo* k = l.key;
  if (!k) return nullptr;
  const int active = ActiveField(l, p.character) - static_cast<int>(l.keyIndex);
  if (active < 1) return nullptr;
  std::string label = k->key;
  Json params = Json::array();
  for (const ColumnInfo& c : k->columns) {
    label += ", ";
    const int32_t from = static_cast<int32_t>(label.size());
    label += c.name;
    params.push_back(Json{{"label", {from, static_cast<int32_t>(label.size())}},
                          {"documentation", std::string(c.meaning) + (*c.unit ? std::string(" (") + c.unit + ")" : "") +
                                                "; " + c.range}});
  }
  const int column = std::min<int>(active, static_cast<int>(k->columns.size())) - 1;
  Json sig = {{"label", label}, {"documentation", k->meaning}, {"parameters", params}, {"activeParameter", column}};
  return Json{{"signatures", Json::array({sig})}, {"activeSignature", 0}, {"activeParameter", column}};
}

Json DocumentSymbols(SourceFile text, std::string_view cp1252) {
  const std::vector<std::string_view> lines = SplitLines(cp1252);
  Json out = Json::array();
  size_t section = 0;  // 1 + the index of the section under way in `out`, 0 for none
  int32_t section_line = 0;
  auto close_section = [&](int32_t last) {
    if (section == 0) return;
    const int32_t len = static_cast<int32_t>(lines[static_cast<size_t>(last)].size());
    out[section - 1]["range"] = Json{{"start", Position(section_line, 0)}, {"end", Position(last, len)}};
  };
  for (int32_t i = 0; i < static_cast<int32_t>(lines.size()); ++i) {
    const std::string_view line = lines[static_cast<size_t>(i)];
    const LineParse l = ParseLine(text, line);
    if (l.head) {
      close_section(std::max(section_line, i - 1));
      const LineField& f = l.fields[l.keyIndex];
      out.push_back(Json{{"name", Utf8(FieldText(line, f))},
                         {"kind", kSymbolNamespace},
                         {"range", Range(i, 0, static_cast<int32_t>(line.size()))},
                         {"selectionRange", Range(i, f.begin, f.end)},
                         {"children", Json::array()}});
      section = out.size();
      section_line = i;
      continue;
    }
    if (!l.key) continue;
    const std::string key = l.key->key;
    const std::vector<int64_t> v = LineValues(line, l);
    std::string name, detail;
    int kind = kSymbolEvent;
    const LineField& kf = l.fields[l.keyIndex];
    LineField sel = kf;
    if (key == "stazione") {
      const size_t name_field = l.keyIndex + l.key->columns.size();
      if (name_field < l.fields.size()) {
        sel = l.fields[name_field];
        name = Utf8(FieldText(line, sel));
      }
      if (name.empty()) name = "station";
      detail = std::to_string(v[1]) + " m";
      kind = kSymbolStruct;
    } else if (key == "segnale") {
      name = "signal " + std::to_string(v[1]) + " m";
    } else if (key == "rallentamento") {
      name = "slowdown " + std::to_string(v[1]) + " m";
      detail = std::to_string(v[2]) + " km/h over " + std::to_string(v[3]) + " m";
    } else if (key == "curvas1") {
      const std::string written(FieldText(line, kf));
      name = "curve " + std::to_string(v[1]) + " m";
      detail = Utf8(written) + ", " + std::to_string(v[2]) + " m";
      kind = kSymbolField;
    } else {
      continue;
    }
    Json sym = {{"name", name},
                {"kind", kind},
                {"range", Range(i, 0, static_cast<int32_t>(line.size()))},
                {"selectionRange", Range(i, sel.begin, sel.end)}};
    if (!detail.empty()) sym["detail"] = detail;
    if (section != 0) out[section - 1]["children"].push_back(std::move(sym));
    else out.push_back(std::move(sym));
  }
  if (!lines.empty()) close_section(static_cast<int32_t>(lines.size()) - 1);
  return out;
}

}  // namespace sb
