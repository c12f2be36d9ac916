// Recording of faults: the model keeps the last code and position; the diagnostics keep
// every fault with the source line that caused it, and its message in words.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/form1.h"

namespace sb {

// Both return the record, for its notes, help and fix.
FaultRecord& RecordFault(Form1& form, int32_t code, std::optional<int32_t> position,
                         SourceRef where, std::string message);
// Keeps the first kWarningsKeptPerText warnings of each text and counts the others (then
// returns null).
WarningRecord* RecordWarning(Form1& form, SourceRef where, std::string message);
// Whether the next warning about the text of `where` is kept: one that is not is only
// counted, and its words need not be made.
bool KeepsWarning(const Form1& form, SourceRef where);

// Messages are UTF-8. Source bytes (Windows-1252) enter a message only through Quoted, which
// converts them; paths and the system's descriptions enter through PathToUtf8.

// Source bytes quoted in a message, between single quotes, as UTF-8; a field longer than a
// screen line is cut, with its length given, so a megabyte field gives a short message.
std::string Quoted(std::string_view source_bytes);

// A cell as every message, table and picture names it: "cell 161 (8000 m)", the position
// being that of the point items the cell holds, (cell - 1) x 50 m.
std::string CellAt(int64_t cell);

// "signal", "station stop mark", ... for a cell type code.
const char* CellTypeName(int cell_type);
// What occupies a cell, and which source line put it there, in words.
std::string DescribeOccupant(const Form1& form, int64_t cell);
// Adds to a fault about a taken cell the note that points at the line whose item holds it.
void NoteOccupant(const Form1& form, FaultRecord& fault, int64_t cell);
// Sets a cell's type and remembers the source line that placed it.
void PlaceCell(Form1& form, TrackCell& cell, uint8_t type, SourceRef where);

}  // namespace sb
