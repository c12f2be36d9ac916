// What the route and the train half of the reader share: their working state, the checked
// narrowing of values read, the warnings about odd lines, the deletion of a text read.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

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
  SourceRef where;                    // the key under way, for fault 25
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
// After a line whose key is `key`: warns about its numbers that hold more than a number, and
// when its values were taken from a later line, naming the columns.
void FinishLine(Form1& form, const FieldReader& in, SourceFile text, const std::string& key);
// Warns about a line with a key of the text that stands before its "[generale]" line, where
// nothing is read.
void WarnBeforeGeneral(Form1& form, const FieldReader& in, SourceFile text, const std::string& field);
// Warns, once, when a text looks like UTF-8 rather than Windows-1252.
void WarnUtf8(Form1& form, std::string_view text, SourceFile file);

// The note of a fault that ends the reading of a text: where it stopped and what the lines
// left unread hold.
DiagnosticNote UnreadNote(const FieldReader& in, SourceFile file);

}  // namespace sb
