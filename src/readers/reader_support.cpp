#include "readers/reader_support.h"

#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/faults.h"
#include "model/run_errors.h"
#include "readers/field_reader.h"
#include "readers/key_match.h"

namespace sb {

uint8_t ToByte(int64_t v, const char* what) {
  if (v < 0 || v > 255)
    throw ReadFailure(std::string(what) + " " + std::to_string(v) + " does not fit a byte (0 to 255)");
  return static_cast<uint8_t>(v);
}

int16_t ToInt16(int64_t v, const char* what) {
  if (v < INT16_MIN || v > INT16_MAX)
    throw ReadFailure(std::string(what) + " " + std::to_string(v) +
                      " does not fit a 16-bit value (-32768 to 32767)");
  return static_cast<int16_t>(v);
}

int32_t ToInt32(int64_t v, const char* what) {
  if (v < INT32_MIN || v > INT32_MAX)
    throw ReadFailure(std::string(what) + " " + std::to_string(v) + " does not fit a 32-bit value");
  return static_cast<int32_t>(v);
}

void DeleteSourceText(Form1& form, const std::string& path) {
  if (!form.run.deleteSources) return;
  std::string err;
  if (!form.run.fs->RemoveFile(path, &err)) throw ReadFailure("cannot delete " + PathToUtf8(path) + ": " + PathToUtf8(err));
}

void WarnUnknownKey(Form1& form, const FieldReader& in, const std::string& key, SourceRef where,
                    std::span<const char* const> keys) {
  if (!in.FieldStartsLine()) return;
  std::string trimmed = key;
  while (!trimmed.empty() && (trimmed.back() == ' ' || trimmed.back() == '\t')) trimmed.pop_back();
  if (trimmed.empty()) return;
  if (Contains(trimmed, "-")) return;
  if (Contains(trimmed, "[") && Contains(trimmed, "]")) return;
  if (!KeepsWarning(form, where)) {
    RecordWarning(form, where, std::string());  // counted only: no search for a near key
    return;
  }
  std::string msg = "unknown key " + Quoted(trimmed) + ", line ignored";
  if (const char* nearest = NearestKey(trimmed, keys))
    msg += std::string(" (did you mean '") + nearest + "'?)";
  RecordWarning(form, where, msg);
}

void WarnShortLine(Form1& form, const FieldReader& in, SourceRef where, const std::string& key) {
  if (in.FieldLine() != where.line)
    RecordWarning(form, where,
                  "the line " + Quoted(key) + " has too few values; the reader took the missing ones "
                  "from line " + std::to_string(in.FieldLine()));
}

}  // namespace sb
