// Kilometric references, mountain stretches and speed indicator board pairs.
#pragma once

#include <cstdint>

#include "model/form1.h"

namespace sb {

// Orders the three kilometric references of rows 81 to 83, the largest start in row 81,
// and applies their flags.
void progressive_ordina(Form1& form);
// Marks a mountain stretch on the cells it covers; `tipo` above 10 asks for markers.
void memo_montagna(Form1& form, int32_t& inizio, int32_t& fine, int32_t& tipo,
                   SourceRef where = {});
// Places a pair of speed indicator boards in one cell; fault 21 when the cell is taken.
void memo_indicatori_v_max(Form1& form, int32_t posizione, int32_t& vas, int32_t& vbs,
                           int32_t& vcs, int32_t& strisces, int32_t& vad, int32_t& vbd,
                           int32_t& vcd, int32_t& strisced, SourceRef where);

}  // namespace sb
