// The program's entry: without arguments the default run, otherwise an authoring command.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace sb {

// `args`: the arguments after the program name, UTF-8. A command prints its results on
// `out` and its messages on `err`.
int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

#ifdef _WIN32
// The two programs of the Windows build, which share everything but their subsystem.
enum class WindowsProgram {
  kWindowed,  // scenario-builder.exe: no console on a double click; a command started from a
              // console prints to it
  kConsole,   // scenario-builder.com: found first at a prompt, which waits for it; the
              // default run is left to the .exe beside it
};

// Reads the command line of this process (UTF-16), sets up standard output and error and
// runs Main.
int WindowsMain(WindowsProgram program);
#endif

}  // namespace sb
