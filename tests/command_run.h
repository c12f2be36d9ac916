// Running the authoring commands in tests: in memory through RunCommand, or end to end
// through the built executable.
#pragma once

#include <nlohmann/json.hpp>

#include <string>
#include <vector>

#include "io/file_system.h"
#include "memory_file_system.h"

namespace sb::testing {

struct CommandResult {
  int status = -1;
  std::string out;
  std::string err;
};

// The command line after the program name, on an in-memory folder, with '/' separators.
CommandResult RunInMemory(MemoryFileSystem& fs, const std::vector<std::string>& args);

// The JSON document on standard output; a null value, and the test failed, when it is not
// valid JSON (in UTF-8).
nlohmann::json JsonOut(const CommandResult& r);

// The lines of a text, without their line ends.
std::vector<std::string> Lines(const std::string& text);

#ifndef _WIN32
// The built program (SB_EXECUTABLE) run in `dir` with the given arguments.
CommandResult RunExecutable(const std::string& dir, const std::vector<std::string>& args);
// A new, empty directory for one test.
std::string FreshDirectory(const std::string& name);
std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
#endif

}  // namespace sb::testing
