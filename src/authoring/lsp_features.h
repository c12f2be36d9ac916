// What the language server tells of a source text: the fields of a line as the readers split
// them, and the answers to hover, completion, signature help and the outline, from the table
// of keys and columns (readers/format_table). Texts are Windows-1252 bytes, one byte for each
// character the editor counts.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "authoring/json_output.h"
#include "authoring/lsp_text.h"
#include "readers/format_table.h"

namespace sb {

// One field of a line: its characters [begin, end) without the blanks around it, and the
// column where the reading of the next field starts (after the comma, or the blanks that end
// a number).
struct LineField {
  int32_t begin = 0;
  int32_t end = 0;
  int32_t next = 0;
};

struct LineParse {
  const KeyInfo* key = nullptr;   // null for an unknown key, a head, a comment, a blank line
  bool head = false;              // a section head: "[curve]"
  bool comment = false;           // a line of comment fields only (each holds a '-')
  size_t keyIndex = 0;            // the key field: fields before it are comment fields
  std::vector<LineField> fields;  // the key and the values after it, on this line
};

// Splits a line as the reader does: the key and each text column run to the next comma, a
// number also ends at a blank. A key field with a '-' is a comment and the next is the key.
LineParse ParseLine(SourceFile text, std::string_view line);

// The field the cursor stands in or just after; -1 for none.
int FieldAt(const LineParse& line, int32_t character);
// The field the cursor would write: the one it stands in, or the next once a separator is
// passed.
int ActiveField(const LineParse& line, int32_t character);

// Hover, completion, signature help: a JSON value of the protocol, null when there is none.
Json HoverAt(SourceFile text, std::string_view cp1252, TextPosition p);
Json CompletionAt(SourceFile text, std::string_view cp1252, TextPosition p);
Json SignatureHelpAt(SourceFile text, std::string_view cp1252, TextPosition p);
// The outline: sections, with the stations (by name), signals, slowdowns and curves in them.
Json DocumentSymbols(SourceFile text, std::string_view cp1252);

}  // namespace sb
