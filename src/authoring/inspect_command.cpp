#include "authoring/inspect_command.h"

#include <cmath>
#include <cstdio>
#include <optional>

#include "authoring/command_line.h"
#include "authoring/json_output.h"
#include "authoring/settings_rows.h"
#include "compiler/binary_decode.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/faults.h"

namespace sb {

const char kInspectHelp[] =
    "usage: scenario-builder inspect FILE [--kind track|settings|line] [--json]\n"
    "\n"
    "Decodes a binary file of a scenario into a readable table. The kind of file is known\n"
    "by its name (NAME_linea.dat: line data, .sim: train settings, other .dat: track);\n"
    "--kind overrides it.\n"
    "\n"
    "  track     one row per cell that holds an item, a value or an approach mark: its\n"
    "            position in metres, the item in words, its values, approach mark,\n"
    "            mountain type, speed limit in km/h, gradient and adhesion; then the runs\n"
    "            of cells with the same profile. Stations and board texts are named from\n"
    "            the train settings file beside it, when there is one.\n"
    "  settings  every row that is not cleared, with its meaning.\n"
    "  line      the plan of the line every 1000 m, its total length and heading.\n"
    "\n"
    "  --json    print one JSON object instead of the table\n"
    "\n"
    "A truncated or malformed file is reported as such (exit status 2).\n";

namespace {

enum class Kind { kTrack, kSettings, kLine };

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

std::optional<Kind> KindOfName(const std::string& path) {
  std::string p = Lower(path);
  if (EndsWith(p, "_linea.dat")) return Kind::kLine;
  if (EndsWith(p, ".sim")) return Kind::kSettings;
  if (EndsWith(p, ".dat")) return Kind::kTrack;
  return std::nullopt;
}

std::string Fmt(const char* format, double v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, v);
  return buf;
}

std::string Pad(const std::string& s, size_t width, bool right) {
  if (s.size() >= width) return s;
  std::string fill(width - s.size(), ' ');
  return right ? fill + s : s + fill;
}

// ---- Track -------------------------------------------------------------------------------

constexpr char kPositionRule[] =
    "the item of cell n stands at (n - 1) x 50 m (cell 1 = 0 m), as signals, slowdowns and "
    "boards are placed; a code reduction at p takes cell p / 50 and a station its stop mark "
    "in cell (extent end) / 50 - 1, so their listed position differs from the one in the text";
constexpr char kProfileRule[] =
    "a fill at p starts in cell p / 50, so cell k covers k x 50 to k x 50 + 50 m";

bool Listed(const TrackCell& c) {
  return c.cellType != kCellEmpty || c.value1 != 0 || c.value2 != 0 || c.value3 != 0 ||
         c.value4 != 0 || c.value5 != 0 || c.approachMark != 0;
}

// The meaning of a cell's values, named from the settings rows when they are known.
std::string Details(const TrackCell& c, size_t index, const std::vector<StationRecord>* rows) {
  auto row_text = [&](int row) -> std::string {
    if (rows == nullptr || row < 0 || static_cast<size_t>(row) >= rows->size()) return "";
    return (*rows)[static_cast<size_t>(row)].name;
  };
  std::string s;
  switch (c.cellType) {
    case kCellEmpty:
      if (index == 1 && c.value1 != 0)
        s = "fixed stamp " + std::to_string(c.value1) + ", og scenario code " +
            std::to_string(c.value2);
      else if (c.approachMark != 0)
        s = "approach mark of the signal or station ahead";
      break;
    case kCellSignal:
      s = "codes " + std::to_string(c.value1) + " " + std::to_string(c.value2) + " " +
          std::to_string(c.value3) + ", layout " + std::to_string(c.value4) + ", waiting time " +
          std::to_string(c.value5);
      break;
    case kCellSlowdownEnd:
    case kCellSlowdownStart:
      s = "slowdown at " + std::to_string(c.value1) + " km/h, d_v " + std::to_string(c.value2) +
          ", f_tt " + std::to_string(c.value3);
      break;
    case kCellSlowdownWarning:
      s = "warning of a slowdown at " + std::to_string(c.value1) + " km/h, 1200 m before its start";
      break;
    case kCellSlowdownPreannounce:
      s = "pre-announcement " + std::to_string(c.value1) + " of 4 (1 next to the warning)";
      break;
    case kCellSpeedBoards:
      s = "packed board speeds " + std::to_string(c.value1) + " " + std::to_string(c.value2) +
          " " + std::to_string(c.value3) + ", stripes " + std::to_string(c.value4);
      break;
    case kCellStationStop: {
      s = "stop mark of the station in row " + std::to_string(c.value1);
      std::string name = row_text(c.value1);
      if (!name.empty())
        s += ", '" + name + "' at " + std::to_string((*rows)[static_cast<size_t>(c.value1)].position) + " m";
      break;
    }
    case kCellLimitMarker:
      s = "limit " + std::to_string(c.value1) + " km/h";
      break;
    case kCellCodeReduction:
      s = "code reduction without a speed";
      break;
    case kCellIndicationBoard: {
      s = "text in row " + std::to_string(c.value1);
      std::string text = row_text(c.value1);
      if (!text.empty()) s += ": '" + text + "'";
      break;
    }
    default:
      break;
  }
  return Cp1252ToUtf8(s);
}

struct ProfileRun {
  size_t first, last;
  const TrackCell* cell;
};

std::vector<ProfileRun> ProfileRuns(const std::vector<TrackCell>& cells) {
  std::vector<ProfileRun> runs;
  for (size_t k = 0; k < cells.size(); ++k) {
    const TrackCell& c = cells[k];
    if (!runs.empty()) {
      const TrackCell& p = *runs.back().cell;
      if (p.speedLimit == c.speedLimit && p.gradient == c.gradient && p.adhesion == c.adhesion &&
          p.mountain == c.mountain) {
        runs.back().last = k;
        continue;
      }
    }
    runs.push_back(ProfileRun{k, k, &c});
  }
  return runs;
}

// The settings file beside a track file: NAME_TRAIN.dat -> NAME_TRAIN.sim.
std::optional<std::vector<StationRecord>> SiblingSettings(FileSystem& fs, const std::string& path,
                                                          std::string* sibling) {
  if (!EndsWith(Lower(path), ".dat")) return std::nullopt;
  *sibling = path.substr(0, path.size() - 4) + ".sim";
  std::string bytes, err;
  if (!fs.Exists(*sibling) || !fs.ReadFile(*sibling, &bytes, &err)) return std::nullopt;
  std::vector<StationRecord> rows;
  if (!DecodeTrainSettings(bytes, &rows, &err)) return std::nullopt;
  return rows;
}

int InspectTrack(CommandIo& io, Reporter& report, const std::string& path,
                 const std::string& bytes, bool json) {
  std::vector<TrackCell> cells;
  std::string err;
  if (!DecodeTrack(bytes, &cells, &err)) {
    return report.Fail(PathToUtf8(path) + ": not a valid track file: " + err);
  }
  std::string sibling;
  std::optional<std::vector<StationRecord>> rows = SiblingSettings(*io.fs, path, &sibling);
  const std::vector<StationRecord>* named = rows ? &*rows : nullptr;
  std::vector<ProfileRun> runs = ProfileRuns(cells);

  if (json) {
    Json doc;
    doc["kind"] = "track";
    doc["file"] = PathToUtf8(path);
    doc["cells"] = cells.size();
    doc["positions"] = kPositionRule;
    doc["names"] = named ? Json(PathToUtf8(sibling)) : Json(nullptr);
    Json items = Json::array();
    for (size_t k = 0; k < cells.size(); ++k) {
      const TrackCell& c = cells[k];
      if (!Listed(c)) continue;
      Json item;
      item["cell"] = k;
      item["position"] = (static_cast<int64_t>(k) - 1) * 50;
      item["type"] = c.cellType;
      item["item"] = CellTypeName(c.cellType);
      item["values"] = {c.value1, c.value2, c.value3, c.value4, c.value5};
      item["approachMark"] = c.approachMark;
      item["mountain"] = c.mountain;
      item["speedLimitKmh"] = c.speedLimit * 5;
      item["gradient"] = c.gradient - 100;
      item["adhesion"] = c.adhesion;
      item["details"] = Details(c, k, named);
      items.push_back(std::move(item));
    }
    doc["items"] = std::move(items);
    doc["profileRule"] = kProfileRule;
    Json profile = Json::array();
    for (const ProfileRun& r : runs) {
      Json run;
      run["firstCell"] = r.first;
      run["lastCell"] = r.last;
      run["from"] = r.first * 50;
      run["to"] = (r.last + 1) * 50;
      run["speedLimitKmh"] = r.cell->speedLimit * 5;
      run["gradient"] = r.cell->gradient - 100;
      run["adhesion"] = r.cell->adhesion;
      run["mountain"] = r.cell->mountain;
      profile.push_back(std::move(run));
    }
    doc["profile"] = std::move(profile);
    *io.out << JsonDocument(doc);
    return kExitOk;
  }

  std::ostream& o = *io.out;
  o << "track file " << PathToUtf8(path) << ": " << cells.size() << " cells of 50 m";
  if (!cells.empty()) o << " (0 to " << cells.size() - 1 << ")";
  o << "\nPositions: " << kPositionRule << ".\n"
    << "Speed limit in km/h (stored in units of 5 km/h), gradient as written in the route text "
       "(stored - 100), adhesion in per cent.\n";
  if (named) o << "Stations and board texts named from " << PathToUtf8(sibling) << ".\n";
  o << "\n   cell  position  item                       values                     mark  "
       "mountain  km/h  gradient  adhesion  details\n";
  for (size_t k = 0; k < cells.size(); ++k) {
    const TrackCell& c = cells[k];
    if (!Listed(c)) continue;
    std::string values = std::to_string(c.value1) + " " + std::to_string(c.value2) + " " +
                         std::to_string(c.value3) + " " + std::to_string(c.value4) + " " +
                         std::to_string(c.value5);
    o << Pad(std::to_string(k), 7, true) << Pad(std::to_string((static_cast<int64_t>(k) - 1) * 50), 10, true)
      << "  " << Pad(CellTypeName(c.cellType), 27, false) << Pad(values, 25, false)
      << Pad(std::to_string(c.approachMark), 6, true) << Pad(std::to_string(c.mountain), 10, true)
      << Pad(std::to_string(c.speedLimit * 5), 6, true) << Pad(std::to_string(c.gradient - 100), 10, true)
      << Pad(std::to_string(c.adhesion), 10, true) << "  " << Details(c, k, named) << "\n";
  }
  o << "\nProfile: runs of cells with the same speed limit, gradient, adhesion and mountain type ("
    << kProfileRule << ").\n"
    << "  cells          from m      to m  km/h  gradient  adhesion  mountain\n";
  for (const ProfileRun& r : runs) {
    o << "  " << Pad(std::to_string(r.first) + "-" + std::to_string(r.last), 11, false)
      << Pad(std::to_string(r.first * 50), 10, true) << Pad(std::to_string((r.last + 1) * 50), 10, true)
      << Pad(std::to_string(r.cell->speedLimit * 5), 6, true)
      << Pad(std::to_string(r.cell->gradient - 100), 10, true)
      << Pad(std::to_string(r.cell->adhesion), 10, true) << Pad(std::to_string(r.cell->mountain), 10, true)
      << "\n";
  }
  return kExitOk;
}

// ---- Settings ----------------------------------------------------------------------------

const char* UseName(RowUse u) {
  switch (u) {
    case RowUse::kCleared: return "cleared";
    case RowUse::kStation: return "station";
    case RowUse::kBoardText: return "board text";
    case RowUse::kKmReference: return "kilometric reference";
    case RowUse::kTrain: return "train";
    case RowUse::kLine: return "line";
    case RowUse::kSignals: return "signals and clock";
    case RowUse::kOther: return "other";
  }
  return "other";
}

int InspectSettings(CommandIo& io, Reporter& report, const std::string& path,
                    const std::string& bytes, bool json) {
  std::vector<StationRecord> rows;
  std::string err;
  if (!DecodeTrainSettings(bytes, &rows, &err)) {
    return report.Fail(PathToUtf8(path) + ": not a valid train settings file: " + err);
  }
  std::string note;
  if (rows.size() != kStationRows)
    note = "the file holds " + std::to_string(rows.size()) + " rows, not " +
           std::to_string(kStationRows) + ": rows are shown without their meaning";
  if (json) {
    Json doc;
    doc["kind"] = "settings";
    doc["file"] = PathToUtf8(path);
    doc["rowCount"] = rows.size();
    doc["note"] = note.empty() ? Json(nullptr) : Json(note);
    Json list = Json::array();
    for (size_t k = 0; k < rows.size(); ++k) {
      RowUse use = UseOfRow(rows, k);
      if (use == RowUse::kCleared) continue;
      const StationRecord& r = rows[k];
      Json row;
      row["row"] = k;
      row["meaning"] = UseName(use);
      row["description"] = Cp1252ToUtf8(DescribeRow(rows, k));
      row["kind"] = r.kind;
      row["extentStart"] = r.extentStart;
      row["extentEnd"] = r.extentEnd;
      row["position"] = r.position;
      row["stationFlag1"] = r.stationFlag1;
      row["name"] = Cp1252ToUtf8(r.name);
      row["stationValue1"] = r.stationValue1;
      row["stationValue2"] = r.stationValue2;
      row["stationValue3"] = r.stationValue3;
      row["stationValue4"] = r.stationValue4;
      row["stationValue5"] = r.stationValue5;
      row["stationFlag4"] = r.stationFlag4;
      row["stationFlag5"] = r.stationFlag5;
      row["stationFlag3"] = r.stationFlag3;
      row["stationFlag2"] = r.stationFlag2;
      row["timetableSeconds"] = r.timetableSeconds;
      list.push_back(std::move(row));
    }
    doc["rows"] = std::move(list);
    *io.out << JsonDocument(doc);
    return kExitOk;
  }
  std::ostream& o = *io.out;
  o << "train settings file " << PathToUtf8(path) << ": " << rows.size() << " rows\n";
  if (!note.empty()) o << "Note: " << note << ".\n";
  o << "\n  row  meaning\n";
  for (size_t k = 0; k < rows.size(); ++k) {
    if (UseOfRow(rows, k) == RowUse::kCleared) continue;
    o << Pad(std::to_string(k), 5, true) << "  " << Cp1252ToUtf8(DescribeRow(rows, k)) << "\n";
  }
  return kExitOk;
}

// ---- Line data ---------------------------------------------------------------------------

constexpr double kPi = 3.14159265358979323846;

// Degrees from the starting direction (+y), positive to the right (towards +x).
double Heading(double dx, double dy) { return std::atan2(dx, dy) * 180.0 / kPi; }

int InspectLine(CommandIo& io, Reporter& report, const std::string& path,
                const std::string& bytes, bool json) {
  std::vector<Variant> el;
  std::string err;
  if (!DecodeLineData(bytes, &el, &err)) {
    return report.Fail(PathToUtf8(path) + ": not a valid line data file: " + err);
  }
  const size_t points = el.size() / 2;
  auto has = [&](size_t m) {
    return m < points && el[m].tag != Variant::kEmpty && el[points + m].tag != Variant::kEmpty;
  };
  auto x = [&](size_t m) { return el[m].AsDouble(); };
  auto y = [&](size_t m) { return el[points + m].AsDouble(); };
  // Heading at a point: from the point before it, or towards the next one at the start.
  auto heading = [&](size_t m) -> std::optional<double> {
    if (m >= 1 && has(m) && has(m - 1)) return Heading(x(m) - x(m - 1), y(m) - y(m - 1));
    if (has(m) && has(m + 1)) return Heading(x(m + 1) - x(m), y(m + 1) - y(m));
    return std::nullopt;
  };
  std::optional<size_t> last;
  for (size_t m = points; m-- > 0;)
    if (has(m)) {
      last = m;
      break;
    }
  const int64_t total = points == 0 ? 0 : static_cast<int64_t>(points) - 1;

  if (json) {
    Json doc;
    doc["kind"] = "line";
    doc["file"] = PathToUtf8(path);
    doc["points"] = points;
    doc["totalLength"] = total;
    doc["headingRule"] =
        "degrees from the starting direction +y, positive to the right (towards +x)";
    Json samples = Json::array();
    for (size_t m = 0; m < points; m += 1000) {
      Json sample;
      sample["metre"] = m;
      sample["x"] = has(m) ? Json(x(m)) : Json(nullptr);
      sample["y"] = has(m) ? Json(y(m)) : Json(nullptr);
      sample["heading"] = OrNull(heading(m));
      samples.push_back(std::move(sample));
    }
    doc["samples"] = std::move(samples);
    if (last) {
      doc["end"] = Json{{"metre", *last},
                        {"x", x(*last)},
                        {"y", y(*last)},
                        {"heading", OrNull(heading(*last))},
                        {"straightDistance", std::hypot(x(*last) - x(0), y(*last) - y(0))}};
    } else {
      doc["end"] = nullptr;
    }
    *io.out << JsonDocument(doc);
    return kExitOk;
  }
  std::ostream& o = *io.out;
  o << "line data file " << PathToUtf8(path) << ": " << el.size() << " elements, " << points
    << " points (metres 0 to " << total << ")\n"
    << "Plan coordinates in metres: the line starts at (0, 0) heading along +y; a right-hand "
       "curve turns it towards +x.\n"
    << "Heading in degrees from the starting direction, positive to the right.\n\n"
    << "   metre            x            y   heading\n";
  for (size_t m = 0; m < points; m += 1000) {
    o << Pad(std::to_string(m), 8, true);
    if (has(m))
      o << Pad(Fmt("%.3f", x(m)), 13, true) << Pad(Fmt("%.3f", y(m)), 13, true);
    else
      o << Pad("empty", 13, true) << Pad("empty", 13, true);
    auto h = heading(m);
    o << Pad(h ? Fmt("%.2f", *h) : "-", 10, true) << "\n";
  }
  o << "\nTotal length: " << total << " m of points";
  if (last) {
    o << "; the last point with a value is metre " << *last << " at (" << Fmt("%.3f", x(*last))
      << ", " << Fmt("%.3f", y(*last)) << ")\n";
    auto h = heading(*last);
    o << "Heading at the end: " << (h ? Fmt("%.2f", *h) : "-")
      << " degrees; straight distance from the start: "
      << Fmt("%.1f", std::hypot(x(*last) - x(0), y(*last) - y(0))) << " m\n";
  } else {
    o << "; no point holds a value\n";
  }
  return kExitOk;
}

}  // namespace

int InspectCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  ParsedArgs a;
  std::string err;
  if (!ParseArgs(args, {{"--kind", true}, {"--json", false}}, 1, &a, &err))
    return report.WrongUsage(err);
  if (a.positional.empty()) return report.WrongUsage("no FILE given");
  const std::string& path = a.positional[0];
  std::optional<Kind> kind;
  if (a.values.count("--kind")) {
    const std::string& k = a.values["--kind"];
    if (k == "track") kind = Kind::kTrack;
    else if (k == "settings") kind = Kind::kSettings;
    else if (k == "line") kind = Kind::kLine;
    else return report.WrongUsage("--kind must be track, settings or line, not '" + k + "'");
  } else {
    kind = KindOfName(path);
    if (!kind)
      return report.WrongUsage("cannot tell the kind of " + path +
                                           " from its name; say it with --kind track|settings|line");
  }
  std::string bytes;
  if (!io.fs->ReadFile(path, &bytes, &err)) {
    return report.Fail("cannot read " + PathToUtf8(path) + ": " + PathToUtf8(err));
  }
  const bool json = a.Has("--json");
  switch (*kind) {
    case Kind::kTrack: return InspectTrack(io, report, path, bytes, json);
    case Kind::kSettings: return InspectSettings(io, report, path, bytes, json);
    case Kind::kLine: return InspectLine(io, report, path, bytes, json);
  }
  return kExitFailed;
}

}  // namespace sb
