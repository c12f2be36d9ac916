#include "compiler/binary_files.h"

#include <cstring>

#include "model/run_errors.h"

namespace sb {
namespace {

// Little-endian output into a buffer sized beforehand, independent of the host's byte order.
class ByteWriter {
 public:
  explicit ByteWriter(char* p) : p_(p) {}
  char* end() const { return p_; }
  void U8(uint8_t v) { *p_++ = static_cast<char>(v); }
  void U16(uint16_t v) {
    p_[0] = static_cast<char>(v & 0xFF);
    p_[1] = static_cast<char>(v >> 8);
    p_ += 2;
  }
  void I16(int16_t v) { U16(static_cast<uint16_t>(v)); }
  void I32(int32_t v) {
    uint32_t u = static_cast<uint32_t>(v);
    for (int k = 0; k < 4; ++k) p_[k] = static_cast<char>((u >> (8 * k)) & 0xFF);
    p_ += 4;
  }
  void F64(double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    for (int k = 0; k < 8; ++k) p_[k] = static_cast<char>((u >> (8 * k)) & 0xFF);
    p_ += 8;
  }
  void Bytes(const std::string& s) {
    std::memcpy(p_, s.data(), s.size());
    p_ += s.size();
  }

 private:
  char* p_;
};

}  // namespace

void WriteLineData(const LineGrid& grid, const std::function<void(std::string_view)>& sink) {
  // Elements are encoded into one block, handed on 64 KiB at a time: every piece but the
  // last starts and ends on a 64 KiB boundary of the file, as the system writes it best.
  // The bytes of an element that crosses the boundary are carried into the next piece.
  constexpr size_t kPiece = size_t{1} << 16;
  constexpr size_t kLongest = 10;  // tag and double
  char block[kPiece + kLongest];
  char* const full = block + kPiece;
  ByteWriter w(block);
  grid.ForEachElement([&](const Variant& v) {
    w.U16(v.tag);
    if (v.tag == Variant::kInteger) w.I16(v.i);
    else if (v.tag == Variant::kDouble) w.F64(v.d);
    if (w.end() >= full) {
      sink(std::string_view(block, kPiece));
      const size_t carried = static_cast<size_t>(w.end() - full);
      std::memcpy(block, full, carried);
      w = ByteWriter(block + carried);
    }
  });
  if (w.end() != block) sink(std::string_view(block, static_cast<size_t>(w.end() - block)));
}

size_t LineDataSize(const LineGrid& grid) {
  LineGrid::TagCounts n = grid.CountTags();
  return 2 * n.empty + 4 * n.integer + 10 * n.real;
}

std::string EncodeTrainSettings(const Form1& form, const std::string& path) {
  std::string out;
  size_t size = 0;
  for (const StationRecord& r : form.StationTable) size += 34 + r.name.size();
  out.resize(size);
  ByteWriter w(out.data());
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

std::string EncodeTrack(const Form1& form) {
  std::string out(form.TrackCells.size() * 15, '\0');
  ByteWriter w(out.data());
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
