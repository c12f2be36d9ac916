// The two source texts in words, key by key and column by column, and every fault code: the
// one description that the messages, `explain`, the manual and the editor support quote.
// The readers keep their own logic; this table says what it does.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "model/diagnostics.h"

namespace sb {

// How a value is read: the width the reader gives it (a value outside fails, fault 25).
enum class ValueKind {
  kInt32,          // signed 32-bit
  kInt16,          // signed 16-bit
  kByte,           // 0 to 255
  kText,           // up to the next comma or line end
  kTextToLineEnd,  // the rest of the line (a comma ends it too)
  kNumberOrText,   // a number; a word reads as 0 and means "no number"
};

struct ColumnInfo {
  const char* name;     // as messages and hovers name it
  const char* unit;     // "m", "km/h", "%", ... or "" for a plain number
  ValueKind kind;
  const char* range;    // the values allowed, in words
  const char* meaning;
  const char* lands;    // where the value lands: cell, row, field
};

struct KeyInfo {
  SourceFile text;
  const char* key;                 // as the built-in texts write it
  std::vector<const char*> words;  // the key field must contain each of them
  bool anyCase;                    // whether letter case is ignored in that test
  const char* recognised;          // the same in words
  const char* section;             // the head of its section in the built-in texts
  bool general;                    // route: read only in the general section
  const char* item;                // what one line makes: "station"
  const char* items;               // and several: "stations"
  const char* meaning;
  std::vector<ColumnInfo> columns;
  const char* example;             // a line as the built-in texts write it
};

struct FaultInfo {
  int32_t code;
  SourceFile text;     // the text it is about; kNone: either text, or the compile itself
  const char* title;   // one line
  const char* when;    // when it happens
  const char* effect;  // what it does to the rest of the reading and to the files
  const char* fix;     // how to mend the text
};

// Every key of both texts, route first, in the order of the built-in texts.
std::span<const KeyInfo> SourceKeys();
// The key named exactly (letter case ignored), or null.
const KeyInfo* FindSourceKey(std::string_view name);
// The first key of `text` whose test a key field passes, as the reader tests it (the curve
// key whatever the line-data setting), or null.
const KeyInfo* KeyOfField(SourceFile text, std::string_view field);

// Every fault code, in the order of the reading.
std::span<const FaultInfo> FaultCodes();
const FaultInfo* FindFault(int32_t code);

// "32-bit integer", "16-bit integer", "byte", "text", ...
const char* ValueKindName(ValueKind kind);

}  // namespace sb
