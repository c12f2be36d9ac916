// The default run: the window, the five texts, the compile, the end.
#pragma once

#include <string>

#include "model/form1.h"
#include "platform/platform.h"

namespace sb {

// Runs the sequence once; returns the process exit status (0, or non-zero after a
// failure that ended the run, whose message the platform has shown).
int Form_Load(Form1& form, Platform& platform);

}  // namespace sb
