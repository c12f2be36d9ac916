// Route half of the reader: general section, kilometric references, feature lines
// (gradients, curves, mountain stretches, speed boards, indication boards).
#pragma once

#include "model/form1.h"

namespace sb {

struct ReaderContext;

// Reads the route text into the settings rows, the track cells and the plan of the line.
// Returns false when the procedure ends at a fault (or without a track).
bool ReadRouteText(Form1& form, ReaderContext& ctx);

}  // namespace sb
