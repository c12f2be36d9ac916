#include "model/faults.h"

#include "io/text_encoding.h"

namespace sb {

FaultRecord& RecordFault(Form1& form, int32_t code, std::optional<int32_t> position,
                         SourceRef where, std::string message) {
  form.ErrorCode = code;
  if (position) form.ErrorPosition = *position;
  FaultRecord r;
  r.code = code;
  r.position = position;
  r.where = where;
  r.message = std::move(message);
  form.run.diag.faults.push_back(std::move(r));
  return form.run.diag.faults.back();
}

WarningRecord* RecordWarning(Form1& form, SourceRef where, std::string message) {
  const size_t text = static_cast<size_t>(where.file);
  if (!KeepsWarning(form, where)) {
    ++form.run.diag.warningsLeftOut[text];
    return nullptr;
  }
  ++form.run.diag.warningsKept[text];
  WarningRecord r;
  r.where = where;
  r.message = std::move(message);
  form.run.diag.warnings.push_back(std::move(r));
  return &form.run.diag.warnings.back();
}

bool KeepsWarning(const Form1& form, SourceRef where) {
  return form.run.diag.warningsKept[static_cast<size_t>(where.file)] < kWarningsKeptPerText;
}

std::string Quoted(std::string_view source_bytes) {
  constexpr size_t kShown = 60;
  std::string q = "'";
  q += Cp1252ToUtf8(source_bytes.substr(0, kShown));
  if (source_bytes.size() <= kShown) return q + "'";
  return q + "...' (" + std::to_string(source_bytes.size()) + " bytes)";
}

std::string CellAt(int64_t cell) {
  return "cell " + std::to_string(cell) + " (" + std::to_string((cell - 1) * 50) + " m)";
}

const char* CellTypeName(int t) {
  switch (t) {
    case kCellEmpty: return "nothing";
    case kCellSignal: return "signal";
    case kCellSlowdownEnd: return "slowdown end";
    case kCellSlowdownStart: return "slowdown start";
    case kCellSlowdownWarning: return "slowdown warning point";
    case kCellSlowdownPreannounce: return "slowdown pre-announcement";
    case kCellSpeedBoards: return "speed indicator boards";
    case kCellStationStop: return "station stop mark";
    case kCellMountainMarker: return "mountain marker";
    case kCellLimitMarker: return "limit marker";
    case kCellCodeReduction: return "code reduction";
    case kCellIndicationBoard: return "indication board";
    default: return "unknown item";
  }
}

std::string DescribeOccupant(const Form1& form, int64_t cell) {
  if (cell < 0 || cell > form.CellCount || !form.HasTrack) return "nothing (outside the track)";
  const TrackCell& c = form.TrackCells[static_cast<size_t>(cell)];
  const char* name = CellTypeName(c.cellType);
  std::string s = std::string(name[0] == 'i' || name[0] == 'u' ? "an " : "a ") + name;
  const SourceRef& src = form.run.cellSource[static_cast<size_t>(cell)];
  if (src.file == SourceFile::kRoute)
    s += " placed by line " + std::to_string(src.line) + " of the route text";
  else if (src.file == SourceFile::kTrain)
    s += " placed by line " + std::to_string(src.line) + " of the train text";
  else if (c.cellType == kCellLimitMarker)
    s += " placed by the cell pass";
  return s;
}

void NoteOccupant(const Form1& form, FaultRecord& fault, int64_t cell) {
  if (cell < 0 || cell > form.CellCount || !form.HasTrack) return;
  const SourceRef& src = form.run.cellSource[static_cast<size_t>(cell)];
  if (src.file == SourceFile::kNone) return;
  const TrackCell& c = form.TrackCells[static_cast<size_t>(cell)];
  const std::string name = CellTypeName(c.cellType);
  const bool plural = name.back() == 's';  // "speed indicator boards"
  // The cross-reference comes before any remark on what was left unread.
  fault.notes.insert(fault.notes.begin(),
                     DiagnosticNote{src, "the " + name + " already in " + CellAt(cell) +
                                             (plural ? " were" : " was") + " placed here"});
}

void PlaceCell(Form1& form, TrackCell& cell, uint8_t type, SourceRef where) {
  cell.cellType = type;
  size_t index = static_cast<size_t>(&cell - form.TrackCells.data());
  if (index < form.run.cellSource.size()) form.run.cellSource[index] = where;
}

}  // namespace sb
