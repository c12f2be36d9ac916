#include "readers/train_reader.h"

#include <optional>

#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/faults.h"
#include "model/rounding.h"
#include "model/run_errors.h"
#include "readers/field_reader.h"
#include "readers/key_match.h"
#include "readers/reader_support.h"
#include "readers/track_items.h"

namespace sb {
namespace {

const char* const kTrainKeys[] = {
    "percentuale massa frenata", "numero vetture", "sabbia", "orologio", "aderenza",
    "velocita", "stazione", "segnale", "rallentamento", "abbattimento"};

struct TrainReader {
  Form1& f;
  ReaderContext& ctx;
  std::string path;
  FieldReader& in;
  int32_t stationRow = 1;     // row of the next station
  int64_t speedIndex = 0;     // speed fill index
  int64_t adhesionIndex = 0;  // adhesion fill index
  int32_t currentSpeed = 0;
  int32_t currentAdhesion = 0;

  SourceRef Here() const { return ctx.where; }
  // The place of value `i` of the line under way (1 is the first after the key).
  SourceRef Value(size_t i) const { return in.Field(i); }
  int64_t LastCell() const { return f.CellCount; }  // index of the last track cell

  // A fault that ends the procedure at once.
  LineOutcome End(int32_t code, std::optional<int32_t> position, std::string message,
                  std::optional<SourceRef> at = std::nullopt) {
    FaultRecord& r = RecordFault(f, code, position, at.value_or(Here()), std::move(message));
    r.notes.push_back(UnreadNote(in, SourceFile::kTrain));
    DeleteSourceText(f, path);
    return LineOutcome::kEndProcedure;
  }

  // After memo_segnale or memo_rallentamento, whose cells are written by then: a fault
  // recorded by the call (the list of faults grew past `faults_before`) takes the line's
  // position and ends the procedure. So does a fault still in ErrorCode from before the
  // call, which can only be a route fault 15: the first signal or slowdown line ends the
  // train reading, with a warning.
  LineOutcome EndAtRecordedOrRouteFault(size_t faults_before, SourceRef where, int32_t position) {
    const bool recorded = f.run.diag.faults.size() > faults_before;
    if (!recorded && f.ErrorCode <= 0) return LineOutcome::kNextLine;
    f.ErrorPosition = position;
    if (recorded) {
      f.run.diag.faults.back().position = position;
      f.run.diag.faults.back().notes.push_back(UnreadNote(in, SourceFile::kTrain));
    } else if (WarningRecord* w = RecordWarning(
                   f, where,
                   "the train text is read no further: the route text stopped at a position beyond "
                   "the track (fault 15), and this line at " + std::to_string(position) +
                       " m ends the reading; later lines and the speed and adhesion tails are not applied")) {
      w->notes.push_back(UnreadNote(in, SourceFile::kTrain));
    }
    DeleteSourceText(f, path);
    return LineOutcome::kEndProcedure;
  }

  // The range test of an item at p: false, with fault 15, when p + margin lies beyond the
  // track.
  bool InRange(int32_t p, int64_t margin, const char* what) {
    if (static_cast<int64_t>(p) + margin <= 50 * LastCell()) return true;
    RecordFault(f, 15, p, Value(1),
                std::string(what) + " at " + std::to_string(p) + " m lies beyond the track (at most " +
                    std::to_string(50 * LastCell() - margin) + " m)");
    return false;
  }

  void FillSpeed() {
    TrackCell& c = f.Cell(speedIndex);
    c.speedLimit = ToByte(RoundDiv(currentSpeed, 5), "the speed limit / 5");
    ++speedIndex;
  }
  void FillAdhesion() {
    TrackCell& c = f.Cell(adhesionIndex);
    c.adhesion = static_cast<uint8_t>(currentAdhesion);
    ++adhesionIndex;
  }

  void SpeedStep(int32_t p, int32_t s) {
    int64_t n = RoundDiv(p, 50);
    if (n > 0) {
      do {
        if (speedIndex >= LastCell()) break;
        FillSpeed();
      } while (speedIndex < n);
    }
    currentSpeed = s;
  }

  void AdhesionStep(int32_t p, int32_t a) {
    int64_t n = RoundDiv(p, 50);
    if (n > 0) {
      do FillAdhesion();
      while (adhesionIndex < n);
    }
    currentAdhesion = a;
  }

  LineOutcome CodeReduction(int32_t p, int32_t s) {
    int64_t k = RoundDiv(p, 50);
    TrackCell& c = f.Cell(k);
    if (!IsFree(c)) {
      LineOutcome o = End(7, p, "the code reduction at " + std::to_string(p) + " m needs " +
                                    CellAt(k) + ", which holds " + DescribeOccupant(f, k),
                          Value(1));
      NoteOccupant(f, f.run.diag.faults.back(), k);
      return o;
    }
    if (s > 0) {
      PlaceCell(f, c, kCellLimitMarker, Value(1));
      c.value1 = ToInt16(s, "the code reduction speed");
    } else {
      PlaceCell(f, c, kCellCodeReduction, Value(1));
    }
    return LineOutcome::kNextLine;
  }

  // kLeaveLoop at a fault 15.
  LineOutcome Station() {
    StationRecord& r = f.StationTable[static_cast<size_t>(stationRow)];
    // Step by step: each value is read at its own step and stored at once, so a fault
    // leaves the row with what the steps before it stored.
    r.position = in.ReadInt32();
    const int64_t p = r.position;
    if (!InRange(r.position, 800, "the station")) return LineOutcome::kLeaveLoop;
    if (p % 50 != 0)
      return End(8, r.position, "the station position " + std::to_string(p) +
                                    " m is not a multiple of 50", Value(1));
    r.kind = in.ReadByte();
    int32_t L = in.ReadInt32();
    if (L % 100 != 0)
      return End(9, r.position, "the station length " + std::to_string(L) +
                                    " m is not a multiple of 100", Value(3));
    r.stationFlag1 = in.ReadByte();
    r.stationFlag2 = in.ReadByte();
    r.stationFlag3 = in.ReadByte();
    r.stationValue1 = in.ReadInt16();
    r.stationValue2 = in.ReadInt16();
    r.stationFlag4 = in.ReadByte();
    r.stationValue3 = in.ReadInt16();
    r.stationValue4 = in.ReadInt16();
    r.stationValue5 = in.ReadInt16();
    r.stationFlag5 = in.ReadByte();
    int32_t hour = in.ReadInt32();
    int32_t minute = in.ReadInt32();
    int32_t second = in.ReadInt32();
    r.timetableSeconds = ToInt32((int64_t{hour} * 60 + minute) * 60 + second, "the timetable time in seconds");
    r.name = in.ReadText();
    if (r.kind == 5 || r.kind == 6) {
      r.extentStart = ToInt32(p - L, "the station extent start");
      r.extentEnd = ToInt32(p + 150, "the station extent end");
      r.stationFlag3 = 0;
    } else if (r.kind == 7 || r.kind == 8) {
      r.extentStart = ToInt32(p - L, "the station extent start");
      r.extentEnd = ToInt32(p + L, "the station extent end");
      r.stationFlag3 = 0;
    } else {
      r.extentStart = ToInt32(p - L / 2, "the station extent start");
      r.extentEnd = ToInt32(p + L / 2 + (r.stationFlag3 != 0 ? 50 : 0), "the station extent end");
    }
    if (L < 600) r.stationFlag2 = 0;
    if (stationRow == 1) {
      r.stationFlag2 = 0;
      r.stationFlag3 = 0;
    }
    const int64_t end = r.extentEnd;
    if (r.kind < 25) {
      // Stop mark at extentEnd / 50 - 1; approach marks 2 to 5 cells before the extent end.
      int64_t y = RoundDiv(end - 50, 50);
      if (end - 50 > 50 && y > LastCell()) {
        RecordFault(f, 15, r.position, Value(1),
                    "the stop mark of the station at " + std::to_string(p) + " m would fall in cell " +
                        std::to_string(y) + ", beyond the last cell " + std::to_string(LastCell()));
        return LineOutcome::kLeaveLoop;
      }
      if (r.kind != 5 && r.kind != 6) {
        for (int k = 1; k <= 4; ++k) {
          int64_t num = end - 50 * (k + 1);  // x = num / 50
          if (num > 50) f.Cell(RoundDiv(num, 50)).approachMark = static_cast<uint8_t>(80 + k);
        }
      }
      if (end - 50 <= 50)
        return End(24, std::nullopt, "the extent of the station at " + std::to_string(p) +
                                         " m ends at " + std::to_string(end) +
                                         " m, at or before 100 m: no room for its stop mark");
      TrackCell& c = f.Cell(y);
      PlaceCell(f, c, kCellStationStop, Value(1));
      c.value1 = static_cast<int16_t>(stationRow);
    }
    if (stationRow > 1 && static_cast<int64_t>(r.extentStart) - 350 <
                       f.StationTable[static_cast<size_t>(stationRow - 1)].extentEnd)
      return End(22, r.position, "the station at " + std::to_string(p) + " m starts its extent at " +
                                     std::to_string(r.extentStart) + " m, less than 350 m after the previous "
                                     "station's extent ends (" +
                                     std::to_string(f.StationTable[static_cast<size_t>(stationRow - 1)].extentEnd) + " m)",
                 Value(1));
    ++stationRow;
    if (stationRow >= ctx.boardRow)
      return End(10, std::nullopt, "the station rows have reached the rows of the indication board texts "
                                   "(at most " + std::to_string(ctx.boardRow - 1) + " stations fit)");
    return LineOutcome::kNextLine;
  }

  // kLeaveLoop at a fault 15.
  LineOutcome TrainLine(const std::string& key) {
    bool matched = false;
    SourceRef where = Here();
    if (ContainsNoCase(key, "massa") && ContainsNoCase(key, "frenata")) {
      matched = true;
      f.StationTable[kRowTrain].extentStart = in.ReadInt32();
    }
    if (ContainsNoCase(key, "vetture")) {
      matched = true;
      f.StationTable[kRowTrain].position = in.ReadInt32();
    }
    if (ContainsNoCase(key, "velocit")) {
      matched = true;
      int32_t p = in.ReadInt32();
      int32_t s = in.ReadInt32();
      if (!InRange(p, 100, "the speed limit")) return LineOutcome::kLeaveLoop;
      SpeedStep(p, s);
    }
    if (ContainsNoCase(key, "aderenza")) {
      matched = true;
      int32_t p = in.ReadInt32();
      int32_t a = in.ReadInt32();
      if (!InRange(p, 100, "the adhesion")) return LineOutcome::kLeaveLoop;
      AdhesionStep(p, a);
    }
    if (ContainsNoCase(key, "orologio")) {
      matched = true;
      // The clock is stored only once its three values are read.
      int16_t hour = in.ReadInt16();
      int16_t minute = in.ReadInt16();
      int16_t second = in.ReadInt16();
      StationRecord& r = f.StationTable[kRowSignals];
      r.stationValue3 = hour;
      r.stationValue4 = minute;
      r.stationValue5 = second;
    }
    if (ContainsNoCase(key, "sabbia")) {
      matched = true;
      f.StationTable[kRowSignals].stationValue1 = in.ReadInt16();
    }
    if (ContainsNoCase(key, "segnale")) {
      matched = true;
      int32_t v[11];
      for (int32_t& x : v) x = in.ReadInt32();
      if (!InRange(v[0], 100, "the signal")) return LineOutcome::kLeaveLoop;
      if (RoundDiv(int64_t{v[0]} + 50, 50) < 8) {
        RecordFault(f, 15, v[0], Value(1),
                    "the signal at " + std::to_string(v[0]) +
                        " m is too near the start of the line: its approach marks would fall "
                        "before cell 0 (a signal needs at least 350 m)");
        return LineOutcome::kLeaveLoop;
      }
      const size_t faults = f.run.diag.faults.size();
      memo_segnale(f, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9], v[10], Value(1));
      if (LineOutcome o = EndAtRecordedOrRouteFault(faults, where, v[0]); o != LineOutcome::kNextLine) return o;
    }
    if (ContainsNoCase(key, "rallentamento")) {
      matched = true;
      int32_t v[6];
      for (int32_t& x : v) x = in.ReadInt32();
      if (!InRange(v[0], 100, "the slowdown")) return LineOutcome::kLeaveLoop;
      int64_t e = RoundDiv(int64_t{v[0]} + v[2] + 50, 50);
      if (e < 0 || e > LastCell()) {
        RecordFault(f, 15, v[0], Value(1),
                    "the slowdown at " + std::to_string(v[0]) + " m, " + std::to_string(v[2]) +
                        " m long, ends in cell " + std::to_string(e) + ", outside the track (cells 0 to " +
                        std::to_string(LastCell()) + ")");
        return LineOutcome::kLeaveLoop;
      }
      const size_t faults = f.run.diag.faults.size();
      memo_rallentamento(f, v[0], v[1], v[2], v[3], v[4], v[5], Value(1));
      if (LineOutcome o = EndAtRecordedOrRouteFault(faults, where, v[0]); o != LineOutcome::kNextLine) return o;
    }
    if (ContainsNoCase(key, "abbattimento")) {
      matched = true;
      int32_t p = in.ReadInt32();
      int32_t s = in.ReadInt32();
      if (!InRange(p, 100, "the code reduction")) return LineOutcome::kLeaveLoop;
      if (LineOutcome o = CodeReduction(p, s); o != LineOutcome::kNextLine) return o;
    }
    if (ContainsNoCase(key, "stazione")) {
      matched = true;
      if (LineOutcome o = Station(); o != LineOutcome::kNextLine) return o;
    }
    if (!matched) WarnUnknownKey(f, in, key, where, kTrainKeys);
    return LineOutcome::kNextLine;
  }

  bool NextKey(std::string* key) {
    if (in.Eof()) return false;
    *key = in.ReadText();
    ctx.where = in.FieldPlace();
    if (in.Eof()) return false;
    for (int r = 0; r < 2 && Contains(*key, "-"); ++r) {
      *key = in.ReadText();
      ctx.where = in.FieldPlace();
      if (in.Eof()) return false;
    }
    in.StartLine();
    f.InputField = *key;
    return true;
  }

  bool Run() {
    for (;;) {
      std::string field = in.ReadText();
      ctx.where = in.FieldPlace();
      if (ContainsNoCase(field, "[generale]")) break;
      WarnBeforeGeneral(f, in, SourceFile::kTrain, field);
      if (in.Eof()) {
        RecordWarning(f, SourceRef{SourceFile::kTrain, 0},
                      "the train text has no line \"[generale]\", where its reading begins: none of "
                      "its lines is read");
        break;
      }
    }
    std::string key;
    for (LineOutcome o = LineOutcome::kNextLine; o == LineOutcome::kNextLine;) {
      if (!NextKey(&key)) break;
      o = TrainLine(key);
      FinishLine(f, in, SourceFile::kTrain, key);
      if (o == LineOutcome::kEndProcedure) return false;
      if (o == LineOutcome::kLeaveLoop) f.run.diag.faults.back().notes.push_back(UnreadNote(in, SourceFile::kTrain));
    }
    DeleteSourceText(f, path);
    ctx.where = SourceRef{SourceFile::kTrain, in.CurrentLine()};
    // Tails: the last speed limit and adhesion run to the end of the line.
    do FillSpeed();
    while (speedIndex < LastCell() - 2);
    do FillAdhesion();
    while (adhesionIndex < LastCell() - 2);
    for (int rowKm : {kRowKmTre, kRowKmDue, kRowKmUno}) {
      const StationRecord& r = f.StationTable[rowKm];
      if (r.extentStart % 50 != 0 || r.extentEnd % 50 != 0) {
        RecordFault(f, 2, std::nullopt, SourceRef{SourceFile::kRoute, 0},
                    "the kilometric reference (" + std::to_string(r.extentStart) + ", " +
                        std::to_string(r.extentEnd) + ") in row " + std::to_string(rowKm) +
                        " is not a multiple of 50");
        return false;
      }
    }
    return true;
  }
};

}  // namespace

bool ReadTrainText(Form1& form, ReaderContext& ctx) {
  std::string path = ScenarioFilePath(form, ScenarioFile::kTrainSource);
  ctx.where = SourceRef{SourceFile::kTrain, 0};
  std::string text, err;
  if (!form.run.fs->ReadFile(path, &text, &err))
    throw ReadFailure("cannot open the train text " + PathToUtf8(path) + ": " + PathToUtf8(err));
  FieldReader in(text, SourceFile::kTrain);
  WarnUtf8(form, text, SourceFile::kTrain);
  TrainReader r{form, ctx, path, in};
  try {
    return r.Run();
  } catch (ReadFailure& e) {
    e.AddNote(UnreadNote(in, SourceFile::kTrain));
    throw;
  }
}

}  // namespace sb
