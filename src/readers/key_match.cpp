#include "readers/key_match.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace sb {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; }

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

// The distance is at least the difference of the lengths, and at least the smallest value
// of any row of the table.
size_t EditDistance(std::string_view a, std::string_view b, size_t cap) {
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

const char* NearestKey(std::string_view field, std::span<const char* const> keys) {
  // Distances beyond the widest margin of any key need not be known, and a long field
  // costs no search.
  size_t longest = 0;
  for (const char* key : keys) longest = std::max(longest, std::strlen(key));
  const size_t cap = std::max<size_t>(2, longest / 3);
  size_t best = SIZE_MAX;
  const char* nearest = nullptr;
  for (const char* key : keys) {
    size_t d = EditDistance(field, key, cap);
    if (d < best) {
      best = d;
      nearest = key;
    }
  }
  if (nearest && best <= std::max<size_t>(2, std::strlen(nearest) / 3)) return nearest;
  return nullptr;
}

}  // namespace sb
