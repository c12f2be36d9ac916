// Signals and temporary slowdowns on the track cells.
#pragma once

#include <cstdint>

#include "model/form1.h"

namespace sb {

// Places a signal and its approach marks; fault 16 when its cell is taken.
void memo_segnale(Form1& form, int32_t posizione, int32_t sx, int32_t s1, int32_t s2,
                  int32_t s3, int32_t rapp, int32_t dx, int32_t d1, int32_t d2, int32_t d3,
                  int32_t tempo, SourceRef where);
// Places a slowdown: start, end, warning point and pre-announcement; faults 17 to 20 when
// one of their cells is taken.
void memo_rallentamento(Form1& form, int32_t posizione, int32_t v, int32_t l, int32_t f_tt,
                        int32_t f_ta, int32_t d_v, SourceRef where);

}  // namespace sb
