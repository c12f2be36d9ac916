#include "readers/route_reader.h"

#include <algorithm>
#include <optional>

#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/faults.h"
#include "model/rounding.h"
#include "model/run_errors.h"
#include "readers/field_reader.h"
#include "readers/format_table.h"
#include "readers/key_match.h"
#include "readers/reader_support.h"
#include "readers/route_features.h"

namespace sb {
namespace {

const char* const kRouteKeys[] = {
    "lunghezza percorso", "progressiva chilometrica uno", "progressiva chilometrica due",
    "progressiva chilometrica tre", "sfondo uno", "sfondo due", "sfondo tre",
    "ripetizione segnali 9 codici", "curvas1", "curvad1", "pendenza", "montagna",
    "indicatori_vmax", "cartello_indicatore"};

constexpr int64_t kMaxRouteLength = 1000000;
constexpr int64_t kMaxGridPoint = 1000000;

struct RouteReader {
  Form1& f;
  ReaderContext& ctx;
  std::string path;
  FieldReader& in;
  int32_t currentGradient = 0;
  int64_t gradientCursor = 0;
  int64_t gridCursor = 2;

  int32_t generalEnd = 0;     // line of the head that ended the general section

  SourceRef Here() const { return ctx.where; }
  // The place of value `i` of the line under way (1 is the first after the key).
  SourceRef Value(size_t i) const { return in.Field(i); }

  // A fault that ends the procedure: close and delete the text, record the fault.
  LineOutcome End(int32_t code, std::optional<int32_t> position, std::string message,
                  std::optional<SourceRef> at = std::nullopt) {
    DeleteSourceText(f, path);
    FaultRecord& r = RecordFault(f, code, position, at.value_or(Here()), std::move(message));
    NoteRouteEnded(r);
    return LineOutcome::kEndProcedure;
  }

  // What a fault that ends the procedure leaves unread: the rest of this text, and the
  // train text.
  void NoteRouteEnded(FaultRecord& r) {
    r.notes.push_back(UnreadNote(in, SourceFile::kRoute));
    r.notes.push_back(DiagnosticNote{SourceRef{}, "the train text was not read"});
  }

  // After memo_montagna or memo_indicatori_v_max: a fault recorded by the call (the list
  // of faults grew past `faults_before`) takes the line's position and ends the procedure.
  LineOutcome EndAtRecordedFault(size_t faults_before, int32_t position) {
    if (f.run.diag.faults.size() == faults_before) return LineOutcome::kNextLine;
    DeleteSourceText(f, path);
    f.ErrorPosition = position;
    f.run.diag.faults.back().position = position;
    NoteRouteEnded(f.run.diag.faults.back());
    return LineOutcome::kEndProcedure;
  }

  // The range test of a feature at p: false, with fault 15, when p lies beyond the track.
  bool InRange(int32_t p) {
    if (static_cast<int64_t>(p) + 100 <= 50 * static_cast<int64_t>(f.CellCount)) return true;
    RecordFault(f, 15, p, Value(1),
                "position " + std::to_string(p) + " m lies beyond the track (a feature may lie "
                "at most " + std::to_string(50 * static_cast<int64_t>(f.CellCount) - 100) + " m)");
    return false;
  }

  void FillGradientCell() {
    TrackCell& c = f.Cell(gradientCursor);
    c.gradient = ToByte(static_cast<int64_t>(currentGradient) + 100, "the gradient + 100");
    ++gradientCursor;
  }

  // Steps the grid cursor on up to point `to` with curvature c (0: straight), each point
  // from the two before it. The whole run is handed to the grid at once; the points are
  // those the step-by-step walk would reach: it stops with fault 103 once the cursor
  // passes 1,000,000 when `limited` (the procedure ends), and with fault 25 where the
  // grid ends.
  LineOutcome StepPlanTo(int64_t to, double c, bool limited) {
    int64_t i = gridCursor;
    if (i > to) return LineOutcome::kNextLine;
    const int64_t last_point = f.Grid.LastPoint();
    if (i <= last_point) {
      int64_t last = std::min(to, last_point);
      if (limited) last = std::min(last, std::max(i, kMaxGridPoint));
      f.Grid.Steps(static_cast<int32_t>(i), static_cast<int32_t>(last), c);
      i = last + 1;
      gridCursor = i;
      if (limited && i > kMaxGridPoint)
        return End(103, std::nullopt, "the line geometry passes 1,000,000 points", Value(2));
      if (i > to) return LineOutcome::kNextLine;
    }
    throw ReadFailure("the curve runs past the last point of the line (metre " +
                      std::to_string(last_point) + ")");
  }

  LineOutcome Curve(const std::string& key, int32_t s, int32_t n) {
    double c;
    if (Contains(key, "1")) c = 0.0001;
    else if (Contains(key, "2")) c = 0.0002;
    else if (Contains(key, "3")) c = 0.0004;
    else if (Contains(key, "4")) c = 0.001;
    else if (Contains(key, "5")) c = 0.002;
    else if (Contains(key, "6")) c = 0.003;
    else return End(103, std::nullopt, "the curve key " + Quoted(key) + " has no class digit 1 to 6");
    if (ContainsNoCase(key, "s")) c = -c;
    // A straight run up to the curve, then the curve over points s + 1 to s + n.
    if (StepPlanTo(s, 0.0, true) == LineOutcome::kEndProcedure) return LineOutcome::kEndProcedure;
    return StepPlanTo(static_cast<int64_t>(s) + n, c, true);
  }

  void GradientStep(int32_t p, int32_t g) {
    int64_t k = RoundDiv(p, 50);
    if (k > 0) {
      do FillGradientCell();
      while (gradientCursor < k);
    }
    currentGradient = g;
  }

  LineOutcome PlaceBoard(int32_t p, const std::string& text) {
    const int64_t k = RoundDiv(static_cast<int64_t>(p) + 50, 50);
    TrackCell& c = f.Cell(k);
    if (!IsFree(c)) {
      const std::string message = "the indication board at " + std::to_string(p) + " m needs " +
                                  CellAt(k) + ", which holds " + DescribeOccupant(f, k);
      const size_t at = f.run.diag.faults.size();
      LineOutcome o = End(6, p, message, Value(1));
      NoteOccupant(f, f.run.diag.faults[at], k);
      return o;
    }
    if (ctx.boardRow < 0)
      throw ReadFailure("no station table row is left for the indication board at " +
                        std::to_string(p) + " m");
    PlaceCell(f, c, kCellIndicationBoard, Value(1));
    c.value1 = static_cast<int16_t>(ctx.boardRow);
    f.StationTable[static_cast<size_t>(ctx.boardRow)].name = text;
    --ctx.boardRow;
    return LineOutcome::kNextLine;
  }

  // Reads the next key: false at the end of the text.
  bool NextKey(std::string* key, int comment_rule, bool test_end_in_rule) {
    if (in.Eof()) return false;
    *key = in.ReadText();
    ctx.where = in.FieldPlace();
    if (in.Eof()) return false;
    for (int r = 0; r < comment_rule && Contains(*key, "-"); ++r) {
      *key = in.ReadText();
      ctx.where = in.FieldPlace();
      if (test_end_in_rule && in.Eof()) return false;
    }
    in.StartLine();
    f.InputField = *key;
    return true;
  }

  // kLeaveLoop at the head of the next section.
  LineOutcome GeneralLine(const std::string& key) {
    bool matched = false;
    SourceRef where = Here();
    if (ContainsNoCase(key, "lunghezza") && ContainsNoCase(key, "percorso")) {
      matched = true;
      int32_t L = in.ReadInt32();
      f.StationTable[kRowTrain].extentEnd = L;
      if (L > kMaxRouteLength || L < 0)
        return End(1, std::nullopt, "the route length " + std::to_string(L) +
                                        " m is outside 0 to 1,000,000 m", Value(1));
      f.CreateTrack(L);
    }
    const struct { const char* word; int row; } km[] = {
        {"tre", kRowKmTre}, {"due", kRowKmDue}, {"uno", kRowKmUno}};
    for (const auto& e : km) {
      if (Contains(key, "progressiva") && Contains(key, e.word)) {
        matched = true;
        // The entry is stored only once its three values are read.
        int32_t start = in.ReadInt32();
        int32_t end = in.ReadInt32();
        int32_t flag = in.ReadInt32();
        StationRecord& r = f.StationTable[e.row];
        r.extentStart = start;
        r.extentEnd = end;
        r.position = flag;
      }
    }
    if (Contains(key, "sfondo") && Contains(key, "uno")) {
      matched = true;
      f.StationTable[kRowLine].extentStart = in.ReadInt32();
    }
    if (Contains(key, "sfondo") && Contains(key, "due")) {
      matched = true;
      f.StationTable[kRowLine].position = in.ReadInt32();
    }
    if (Contains(key, "sfondo") && Contains(key, "tre")) {
      matched = true;
      f.StationTable[kRowLine].extentEnd = in.ReadInt32();
    }
    if (Contains(key, "ripetizione") && Contains(key, "segnali")) {
      matched = true;
      int32_t a = in.ReadInt32();
      int32_t b = in.ReadInt32();
      StationRecord& r = f.StationTable[kRowSignals];
      r.extentStart = a;
      r.extentEnd = b;
      if (a % 50 != 0)
        return End(3, std::nullopt, "the first signal repetition value " + std::to_string(a) +
                                        " is not a multiple of 50", Value(1));
      if (b % 50 != 0)
        return End(4, std::nullopt, "the second signal repetition value " + std::to_string(b) +
                                        " is not a multiple of 50", Value(2));
      if (Contains(key, "4"))
        r.position = 4;
      else if (Contains(key, "9"))
        r.position = 9;
      else
        return End(5, std::nullopt, "the signal repetition key " + Quoted(key) +
                                        " names neither 4 nor 9 codes");
      if (b == 0) r.position = 0;
    }
    size_t lead = key.find_first_not_of(" \t");
    if (Contains(key, "[") && Contains(key, "]") && !(lead != std::string::npos && key[lead] == '-')) {
      generalEnd = where.line;
      return LineOutcome::kLeaveLoop;
    }
    if (!matched) WarnUnread(key, where);
    return LineOutcome::kNextLine;
  }

  // kLeaveLoop at a fault 15.
  LineOutcome FeatureLine(const std::string& key) {
    bool matched = false;
    SourceRef where = Here();
    if (ContainsNoCase(key, "pendenza")) {
      matched = true;
      int32_t p = in.ReadInt32();
      int32_t g = in.ReadInt32();
      if (!InRange(p)) return LineOutcome::kLeaveLoop;
      GradientStep(p, g);
    }
    if (ContainsNoCase(key, "curva") && f.LineDataFlag != 0) {
      matched = true;
      int32_t s = in.ReadInt32();
      int32_t n = in.ReadInt32();
      if (!InRange(s)) return LineOutcome::kLeaveLoop;
      if (LineOutcome o = Curve(key, s, n); o != LineOutcome::kNextLine) return o;
    }
    if (ContainsNoCase(key, "montagna")) {
      matched = true;
      int32_t inizio = in.ReadInt32();
      int32_t fine = in.ReadInt32();
      int32_t tipo = in.ReadInt32();
      if (!InRange(inizio)) return LineOutcome::kLeaveLoop;
      const size_t faults = f.run.diag.faults.size();
      memo_montagna(f, inizio, fine, tipo, Value(1));
      if (LineOutcome o = EndAtRecordedFault(faults, inizio); o != LineOutcome::kNextLine) return o;
    }
    if (ContainsNoCase(key, "indicatori_v")) {
      matched = true;
      int32_t v[9];
      for (int32_t& x : v) x = in.ReadInt32();
      if (!InRange(v[0])) return LineOutcome::kLeaveLoop;
      const size_t faults = f.run.diag.faults.size();
      memo_indicatori_v_max(f, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], Value(1));
      if (LineOutcome o = EndAtRecordedFault(faults, v[0]); o != LineOutcome::kNextLine) return o;
    }
    if (ContainsNoCase(key, "cartello") && ContainsNoCase(key, "indicat")) {
      matched = true;
      int32_t p = in.ReadInt32();
      f.InputField = in.ReadText();
      if (!InRange(p)) return LineOutcome::kLeaveLoop;
      if (LineOutcome o = PlaceBoard(p, f.InputField); o != LineOutcome::kNextLine) return o;
    }
    if (!matched) WarnUnread(key, where);
    return LineOutcome::kNextLine;
  }

  // A line that no test of its section took: a key of the other section (its head
  // missing, or the line out of place), a curve without the line data file, or an unknown key.
  void WarnUnread(const std::string& key, SourceRef where) {
    const KeyInfo* k = in.FieldStartsLine() ? KeyOfField(SourceFile::kRoute, key) : nullptr;
    if (!k) {
      WarnUnknownKey(f, in, key, where, kRouteKeys);
      return;
    }
    if (k->general == (generalEnd == 0)) return;  // a curve while no line data file is made
    if (generalEnd == 0) {
      if (WarningRecord* w = RecordWarning(
              f, where,
              "this " + std::string(k->item) + " line stands in the general section, where it is not "
              "read: a section head must end the general section before it")) {
        w->help = std::string("put the head '") + k->section + "' on a line of its own before this line";
        w->fix = TextFix{SourceRef{SourceFile::kRoute, where.line, 1, 1}, std::string(k->section) + "\r\n",
                         std::string("insert the head '") + k->section + "'"};
      }
      return;
    }
    if (WarningRecord* w = RecordWarning(
            f, where,
            "this " + std::string(k->item) + " line belongs to the general section, which ended at line " +
                std::to_string(generalEnd) + ": it is not read here"))
      w->help = "move it between the line \"[generale]\" and line " + std::to_string(generalEnd);
  }

  bool Run() {
    // Look for the general section.
    for (;;) {
      std::string field = in.ReadText();
      ctx.where = in.FieldPlace();
      if (in.Eof()) {
        DeleteSourceText(f, path);
        RecordFault(f, 102, std::nullopt, SourceRef{SourceFile::kRoute, 0},
                    "the route text has no line \"[generale]\"")
            .notes.push_back(DiagnosticNote{SourceRef{}, "the train text was not read"});
        return false;
      }
      if (ContainsNoCase(field, "[generale]")) break;
      WarnBeforeGeneral(f, in, SourceFile::kRoute, field);
    }
    std::string key;
    for (LineOutcome o = LineOutcome::kNextLine; o == LineOutcome::kNextLine;) {
      if (!NextKey(&key, 10, false)) break;
      o = GeneralLine(key);
      FinishLine(f, in, SourceFile::kRoute, key);
      if (o == LineOutcome::kEndProcedure) return false;
    }
    // Without a route length there is no track: the compile step reports it.
    if (!f.HasTrack) {
      DeleteSourceText(f, path);
      return false;
    }
    progressive_ordina(f);
    f.MountainCount = 0;
    ctx.boardRow = kFirstBoardRow;
    gradientCursor = 0;
    gridCursor = 2;
    if (f.Grid.Exists())
      f.Grid.Start(Variant::Integer(0), Variant::Integer(0), Variant::Integer(0), Variant::Integer(1));
    for (LineOutcome o = LineOutcome::kNextLine; o == LineOutcome::kNextLine;) {
      if (!NextKey(&key, 2, true)) break;
      o = FeatureLine(key);
      FinishLine(f, in, SourceFile::kRoute, key);
      if (o == LineOutcome::kEndProcedure) return false;
      if (o == LineOutcome::kLeaveLoop) {
        FaultRecord& r = f.run.diag.faults.back();
        r.notes.push_back(UnreadNote(in, SourceFile::kRoute));
        r.notes.push_back(DiagnosticNote{SourceRef{}, "the train text is still read"});
      }
    }
    // End of the route source.
    DeleteSourceText(f, path);
    ctx.where = SourceRef{SourceFile::kRoute, in.CurrentLine()};
    do FillGradientCell();
    while (gradientCursor < static_cast<int64_t>(f.CellCount) - 2);
    if (f.Grid.Exists()) StepPlanTo(static_cast<int64_t>(f.TotalLength) - 2, 0.0, false);
    return true;
  }
};

}  // namespace

bool ReadRouteText(Form1& form, ReaderContext& ctx) {
  form.StationTable[kRowLine].name = form.ScenarioName;
  form.StationTable[kRowSignals].name = form.TrainNumber;
  std::string path = ScenarioFilePath(form, ScenarioFile::kRouteSource);
  ctx.where = SourceRef{SourceFile::kRoute, 0};
  if (!form.run.fs->Exists(path)) {
    RecordFault(form, 101, std::nullopt, ctx.where, "the route text " + PathToUtf8(path) + " does not exist");
    return false;
  }
  std::string text, err;
  if (!form.run.fs->ReadFile(path, &text, &err))
    throw ReadFailure("cannot read the route text " + PathToUtf8(path) + ": " + PathToUtf8(err));
  FieldReader in(text, SourceFile::kRoute);
  WarnUtf8(form, text, SourceFile::kRoute);
  RouteReader r{form, ctx, path, in};
  try {
    return r.Run();
  } catch (ReadFailure& e) {
    e.AddNote(UnreadNote(in, SourceFile::kRoute));
    throw;
  }
}

}  // namespace sb
