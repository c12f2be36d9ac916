#include "readers/source_reader.h"

#include <algorithm>
#include <cstring>

#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/faults.h"
#include "model/run_errors.h"
#include "readers/field_reader.h"

namespace sb {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

// Edit distance of a and b (letter case ignored) when it is at most `cap`, else cap + 1.
// The distance is at least the difference of the lengths, and at least the smallest
// value of any row of the table.
size_t EditDistance(const std::string& a, const std::string& b, size_t cap) {
  size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (gap > cap) return cap + 1;
  std::vector<size_t> prev(b.size() + 1), cur(b.size() + 1);
  for (size_t j = 0; j <= b.size(); ++j) prev[j] = j;
  for (size_t i = 1; i <= a.size(); ++i) {
    cur[0] = i;
    size_t row_min = cur[0];
    for (size_t j = 1; j <= b.size(); ++j) {
      cur[j] = std::min({prev[j] + 1, cur[j - 1] + 1,
                         prev[j - 1] + (Lower(a[i - 1]) == Lower(b[j - 1]) ? 0 : 1)});
      row_min = std::min(row_min, cur[j]);
    }
    if (row_min > cap) return cap + 1;
    std::swap(prev, cur);
  }
  return std::min(prev[b.size()], cap + 1);
}

}  // namespace

bool ContainsNoCase(const std::string& key, const char* word) {
  std::string_view w(word);
  if (w.size() > key.size()) return false;
  for (size_t i = 0; i + w.size() <= key.size(); ++i) {
    size_t j = 0;
    while (j < w.size() && Lower(key[i + j]) == Lower(w[j])) ++j;
    if (j == w.size()) return true;
  }
  return false;
}

bool Contains(const std::string& key, const char* word) {
  return key.find(word) != std::string::npos;
}

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
                    const char* const* keys, size_t key_count) {
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
  size_t best = SIZE_MAX;
  const char* suggestion = nullptr;
  // A key is suggested only within max(2, its length / 3) edits: distances beyond the
  // widest such margin need not be known, and a long field costs no search.
  size_t longest = 0;
  for (size_t k = 0; k < key_count; ++k) longest = std::max(longest, std::strlen(keys[k]));
  const size_t cap = std::max<size_t>(2, longest / 3);
  for (size_t k = 0; k < key_count; ++k) {
    size_t d = EditDistance(trimmed, keys[k], cap);
    if (d < best) {
      best = d;
      suggestion = keys[k];
    }
  }
  if (suggestion && best <= std::max<size_t>(2, std::string_view(suggestion).size() / 3))
    msg += std::string(" (did you mean '") + suggestion + "'?)";
  RecordWarning(form, where, msg);
}

void WarnShortLine(Form1& form, const FieldReader& in, SourceRef where, const std::string& key) {
  if (in.FieldLine() != where.line)
    RecordWarning(form, where,
                  "the line " + Quoted(key) + " has too few values; the reader took the missing ones "
                  "from line " + std::to_string(in.FieldLine()));
}

void memorizza_dati(Form1& form) {
  ReaderContext ctx;
  try {
    if (!ReadRouteText(form, ctx)) return;
    ReadTrainText(form, ctx);
  } catch (const ReadFailure& e) {
    RecordFault(form, 25, std::nullopt, ctx.where, e.what());
    if (form.run.deleteSources) {
      std::string err;
      for (ScenarioFile f : {ScenarioFile::kRouteSource, ScenarioFile::kTrainSource}) {
        std::string path = ScenarioFilePath(form, f);
        if (form.run.fs->Exists(path)) form.run.fs->RemoveFile(path, &err);
      }
    }
  }
}

}  // namespace sb
