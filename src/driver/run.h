// The default run: the window, the five texts, the compile, the end.
#pragma once

#include <chrono>
#include <string>

#include "model/form1.h"
#include "platform/platform.h"

namespace sb {

// Runs the sequence once; returns the process exit status (0, or non-zero after a
// failure that ended the run, whose message the platform has shown).
int Form_Load(Form1& form, Platform& platform);

// The words for a folder whose run lock another run held for the whole of `waited`
// (lower case, no full stop).
std::string FolderBusyMessage(const std::string& folder, std::chrono::seconds waited);

}  // namespace sb
