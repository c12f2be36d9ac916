// Train half of the reader: settings, speed limits and adhesion, stations, signals,
// slowdowns and code reductions.
#pragma once

#include "model/form1.h"

namespace sb {

struct ReaderContext;

// Reads the train text into the station and settings rows and the track cells. Returns
// false when the procedure ends at a fault.
bool ReadTrainText(Form1& form, ReaderContext& ctx);

}  // namespace sb
