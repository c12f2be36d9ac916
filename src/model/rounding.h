// Rounding of real quotients to the nearest integer, halves to the even neighbour.
#pragma once

#include <cstdint>

namespace sb {

// num / den rounded half to even, exactly, for den > 0.
inline int64_t RoundDiv(int64_t num, int64_t den) {
  int64_t q = num / den;
  int64_t r = num % den;
  if (r < 0) {  // floor division
    r += den;
    q -= 1;
  }
  int64_t twice = 2 * r;
  if (twice > den || (twice == den && (q & 1) != 0)) q += 1;
  return q;
}

}  // namespace sb
