// The operating system's lock of a folder between processes, which leaves no file in the
// folder: flock() on the folder itself on POSIX, a named mutex on Windows.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "io/file_system.h"

namespace sb {

// Waits up to `wait` for the lock of the folder `dir` ("" is the root); returns null when
// another process still holds it then. A folder that cannot be opened or locked gives a
// lock that guards nothing.
std::unique_ptr<FolderLock> TakeFolderLock(const std::string& dir, std::chrono::milliseconds wait);

}  // namespace sb
