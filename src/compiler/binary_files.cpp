#include "compiler/binary_files.h"

#include <cstring>

#include "model/run_errors.h"

namespace sb {
namespace {

// Little-endian output into a preallocated buffer, independent of the host's byte order.
class ByteWriter {
 public:
  explicit ByteWriter(std::string& out) : out_(out) {}
  void U8(uint8_t v) { out_.push_back(static_cast<char>(v)); }
  void U16(uint16_t v) {
    char b[2] = {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
    out_.append(b, 2);
  }
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void I32(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    char b[4] = {static_cast<char>(u & 0xFF), static_cast<char>((u >> 8) & 0xFF),
                 static_cast<char>((u >> 16) & 0xFF), static_cast<char>(u >> 24)};
    out_.append(b, 4);
  }
  void F64(double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    char b[8];
    for (int k = 0; k < 8; ++k) b[k] = static_cast<char>((u >> (8 * k)) & 0xFF);
    out_.append(b, 8);
  }
  void Bytes(const std::string& s) { out_.append(s); }

 private:
  std::string& out_;
};

}  // namespace

std::string FileLinea(const LineGrid& grid) {
  std::string out;
  size_t size = 0;
  for (const Variant& v : grid.Values())
    size += v.tag == Variant::kDouble ? 10 : v.tag == Variant::kInteger ? 4 : 2;
  out.reserve(size);
  ByteWriter w(out);
  for (const Variant& v : grid.Values()) {
    w.U16(v.tag);
    if (v.tag == Variant::kInteger) w.I16(v.i);
    else if (v.tag == Variant::kDouble) w.F64(v.d);
  }
  return out;
}

std::string FileImpostazioni(const Form1& form, const std::string& path) {
  std::string out;
  size_t size = 0;
  for (const StationRecord& r : form.StationTable) size += 34 + r.name.size();
  out.reserve(size);
  ByteWriter w(out);
  for (size_t row = 0; row < form.StationTable.size(); ++row) {
    const StationRecord& r = form.StationTable[row];
    if (r.name.size() > 0xFFFF)
      throw RunFailure(path, "the text of row " + std::to_string(row) + " is " +
                                 std::to_string(r.name.size()) +
                                 " bytes long; its length field holds at most 65,535");
    w.U8(r.kind);
    w.I32(r.extentStart);
    w.I32(r.extentEnd);
    w.I32(r.position);
    w.U8(r.stationFlag1);
    w.U16(static_cast<uint16_t>(r.name.size()));
    w.Bytes(r.name);
    w.I16(r.stationValue1);
    w.I16(r.stationValue2);
    w.I16(r.stationValue3);
    w.I16(r.stationValue4);
    w.I16(r.stationValue5);
    w.U8(r.stationFlag4);
    w.U8(r.stationFlag5);
    w.U8(r.stationFlag3);
    w.U8(r.stationFlag2);
    w.I32(r.timetableSeconds);
  }
  return out;
}

std::string FileTracciato(const Form1& form) {
  std::string out;
  out.reserve(form.TrackCells.size() * 15);
  ByteWriter w(out);
  for (const TrackCell& c : form.TrackCells) {
    w.U8(c.cellType);
    w.I16(c.value1);
    w.I16(c.value2);
    w.I16(c.value3);
    w.I16(c.value4);
    w.U8(c.value5);
    w.U8(c.approachMark);
    w.U8(c.mountain);
    w.U8(c.speedLimit);
    w.U8(c.gradient);
    w.U8(c.adhesion);
  }
  return out;
}

}  // namespace sb
