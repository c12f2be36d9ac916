// How the readers recognise a key: by the words it contains, and, for a line that matches
// no key, which key was probably meant.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace sb {

// Whether `word` occurs in `key`, letter case ignored (A to Z only).
bool ContainsNoCase(const std::string& key, const char* word);
// Whether `word` occurs in `key`, letter for letter.
bool Contains(const std::string& key, const char* word);

// Edit distance of a and b (letter case ignored) when it is at most `cap`, else cap + 1;
// the work stops as soon as the distance is known to pass `cap`.
size_t EditDistance(std::string_view a, std::string_view b, size_t cap);

// The key of `keys` nearest to `field`, when it lies within max(2, its length / 3) edits;
// nullptr when none does. The first of equally near keys is taken.
const char* NearestKey(std::string_view field, std::span<const char* const> keys);

}  // namespace sb
