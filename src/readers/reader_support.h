// What the route and the train half of the reader share: their working state, the checked
// narrowing of values read, the warnings about odd lines, the deletion of a text read.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/form1.h"

namespace sb {

class FieldReader;

// What the reader does after a line.
enum class LineOutcome {
  kNextLine,      // goes on with the next line
  kLeaveLoop,     // leaves the loop of lines; the steps after the loop still run
  kEndProcedure,  // ends the reader at once, at a fault
};

// Working state of the reader, carried from the route half into the train half.
struct ReaderContext {
  int32_t boardRow = kFirstBoardRow;  // next row for an indication board text
  SourceRef where;                    // line of the key under way, for fault 25
};

// A value read into a narrower field: a read failure (fault 25) when it does not fit.
uint8_t ToByte(int64_t value, const char* what);    // 0 to 255
int16_t ToInt16(int64_t value, const char* what);   // 16 bits, signed
int32_t ToInt32(int64_t value, const char* what);   // 32 bits, signed

// Deletes a source text once it is read, when the run deletes its sources; a failure is a
// read failure.
void DeleteSourceText(Form1& form, const std::string& path);

// Warns about a line that matched no key, naming the nearest of `keys` (the keys of that
// text) when one is near. Dash fields, section heads and fields after the first of their
// line give no warning.
void WarnUnknownKey(Form1& form, const FieldReader& in, const std::string& key, SourceRef where,
                    std::span<const char* const> keys);
// Warns when the values of a line were taken from a later line.
void WarnShortLine(Form1& form, const FieldReader& in, SourceRef where, const std::string& key);

}  // namespace sb
