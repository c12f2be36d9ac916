#include "compiler/binary_decode.h"

#include <cstring>

namespace sb {
namespace {

class ByteReader {
 public:
  explicit ByteReader(std::string_view b) : b_(b) {}
  size_t Left() const { return b_.size() - pos_; }
  size_t Offset() const { return pos_; }
  bool Has(size_t n) const { return Left() >= n; }
  uint8_t U8() { return static_cast<uint8_t>(b_[pos_++]); }
  uint16_t U16() {
    uint16_t v = static_cast<uint16_t>(U8());
    return static_cast<uint16_t>(v | (U8() << 8));
  }
  int16_t I16() { return static_cast<int16_t>(U16()); }
  int32_t I32() {
    uint32_t v = U8();
    v |= static_cast<uint32_t>(U8()) << 8;
    v |= static_cast<uint32_t>(U8()) << 16;
    v |= static_cast<uint32_t>(U8()) << 24;
    return static_cast<int32_t>(v);
  }
  double F64() {
    uint64_t u = 0;
    for (int k = 0; k < 8; ++k) u |= static_cast<uint64_t>(U8()) << (8 * k);
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
  }
  std::string Bytes(size_t n) {
    std::string s(b_.substr(pos_, n));
    pos_ += n;
    return s;
  }

 private:
  std::string_view b_;
  size_t pos_ = 0;
};

}  // namespace

bool DecodeTrack(std::string_view bytes, std::vector<TrackCell>* cells, std::string* err) {
  cells->clear();
  if (bytes.size() % 15 != 0) {
    *err = "the file is " + std::to_string(bytes.size()) +
           " bytes long, not a whole number of 15-byte cell records (truncated or not a track file)";
    return false;
  }
  ByteReader r(bytes);
  cells->reserve(bytes.size() / 15);
  while (r.Left() > 0) {
    TrackCell c;
    c.cellType = r.U8();
    c.value1 = r.I16();
    c.value2 = r.I16();
    c.value3 = r.I16();
    c.value4 = r.I16();
    c.value5 = r.U8();
    c.approachMark = r.U8();
    c.mountain = r.U8();
    c.speedLimit = r.U8();
    c.gradient = r.U8();
    c.adhesion = r.U8();
    cells->push_back(c);
  }
  return true;
}

bool DecodeTrainSettings(std::string_view bytes, std::vector<StationRecord>* rows, std::string* err) {
  rows->clear();
  ByteReader r(bytes);
  while (r.Left() > 0) {
    size_t start = r.Offset();
    if (!r.Has(16)) {
      *err = "record " + std::to_string(rows->size()) + " at byte " + std::to_string(start) +
             " is cut short (truncated file)";
      return false;
    }
    StationRecord s;
    s.kind = r.U8();
    s.extentStart = r.I32();
    s.extentEnd = r.I32();
    s.position = r.I32();
    s.stationFlag1 = r.U8();
    uint16_t len = r.U16();
    if (!r.Has(static_cast<size_t>(len) + 18)) {
      *err = "record " + std::to_string(rows->size()) + " at byte " + std::to_string(start) +
             " is cut short: its text of " + std::to_string(len) +
             " bytes and its values do not fit in the file (truncated file)";
      return false;
    }
    s.name = r.Bytes(len);
    s.stationValue1 = r.I16();
    s.stationValue2 = r.I16();
    s.stationValue3 = r.I16();
    s.stationValue4 = r.I16();
    s.stationValue5 = r.I16();
    s.stationFlag4 = r.U8();
    s.stationFlag5 = r.U8();
    s.stationFlag3 = r.U8();
    s.stationFlag2 = r.U8();
    s.timetableSeconds = r.I32();
    rows->push_back(std::move(s));
  }
  return true;
}

bool DecodeLineData(std::string_view bytes, std::vector<Variant>* elements, std::string* err) {
  elements->clear();
  ByteReader r(bytes);
  while (r.Left() > 0) {
    size_t start = r.Offset();
    if (!r.Has(2)) {
      *err = "element " + std::to_string(elements->size()) + " at byte " + std::to_string(start) +
             " is cut short (truncated file)";
      return false;
    }
    uint16_t tag = r.U16();
    size_t payload = tag == Variant::kEmpty ? 0 : tag == Variant::kInteger ? 2 : tag == Variant::kDouble ? 8 : SIZE_MAX;
    if (payload == SIZE_MAX) {
      *err = "element " + std::to_string(elements->size()) + " at byte " + std::to_string(start) +
             " has the unknown tag " + std::to_string(tag) + " (not a line data file)";
      return false;
    }
    if (!r.Has(payload)) {
      *err = "element " + std::to_string(elements->size()) + " at byte " + std::to_string(start) +
             " is cut short (truncated file)";
      return false;
    }
    Variant v;
    v.tag = static_cast<Variant::Tag>(tag);
    if (tag == Variant::kInteger) v.i = r.I16();
    if (tag == Variant::kDouble) v.d = r.F64();
    elements->push_back(v);
  }
  if (elements->size() % 2 != 0) {
    *err = "the file holds " + std::to_string(elements->size()) +
           " elements, an odd number: the x and y blocks cannot be told apart (truncated file)";
    return false;
  }
  return true;
}

}  // namespace sb
