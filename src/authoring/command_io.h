// What an authoring command works with: the file system, the path separator, and the two
// output streams (results on `out`; messages on `err`, through a Reporter).
#pragma once

#include <ostream>
#include <string>

namespace sb {

class FileSystem;

inline constexpr char kProgramName[] = "scenario-builder";

// Exit statuses of the commands.
constexpr int kExitOk = 0;
constexpr int kExitFaults = 1;  // faults recorded, binary files written all the same
constexpr int kExitFailed = 2;  // could not complete, or a wrong command line

struct CommandIo {
  FileSystem* fs;
  char separator;
  std::ostream* out;
  std::ostream* err;
  // Whether `err` is a terminal that shows colours, and whether NO_COLOR asks for none:
  // messages are coloured with --color=auto (the default) only when the first holds and
  // the second does not.
  bool err_shows_colour = false;
  bool no_color = false;
};

// A directory argument as the base of file paths: "" and "." are the working directory;
// trailing separators are dropped ("/" stays the root).
std::string BaseDirectory(const std::string& dir, char separator);

}  // namespace sb
