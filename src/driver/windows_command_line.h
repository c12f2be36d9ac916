// The command line of a Windows program, split into arguments as the C runtime splits it,
// with one difference that matters to paths: cmd's Tab completion writes a quoted folder with
// its trailing backslash ("C:\scenari\prova\"), which the usual rules read as an escaped quote
// that swallows the rest of the line into one argument. Here a quote after backslashes that
// ends a quoted argument (a blank or the end of the line follows it) closes it, and the
// backslashes stay. No argument of the program can hold a quote (file names cannot), so no
// meaning is lost.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace sb {

// `line` in UTF-8; the program name first, as Windows reads it (up to the next blank, or
// between quotes, with no escapes).
std::vector<std::string> SplitWindowsCommandLine(std::string_view line);

}  // namespace sb
