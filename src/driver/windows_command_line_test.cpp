#include "driver/windows_command_line.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include "io/win32_text.h"

#include <shellapi.h>
#endif

namespace sb {
namespace {

using Args = std::vector<std::string>;

struct SplitCase {
  const char* line;
  Args args;
  bool as_the_system_splits;  // the same as CommandLineToArgvW
};

const SplitCase kCases[] = {
    {"sb.com compile prova --check", {"sb.com", "compile", "prova", "--check"}, true},
    {"\"C:\\Program Files\\sb.com\" compile", {"C:\\Program Files\\sb.com", "compile"}, true},
    {"sb  \t compile\t\"C:\\scenari\\Citt\xC3\xA0 nuova\"  ",
     {"sb", "compile", "C:\\scenari\\Citt\xC3\xA0 nuova"}, true},
    {"sb compile C:\\scenari\\prova\\ --check", {"sb", "compile", "C:\\scenari\\prova\\", "--check"},
     true},
    {"sb compile \"C:\\scenari\\prova\\\\\" --check",
     {"sb", "compile", "C:\\scenari\\prova\\", "--check"}, true},
    {"sb a\\\\\\\"b \"c\"\"d e\"f g\"h \"\"", {"sb", "a\\\"b", "c\"d", "ef gh", ""}, true},
    {"sb compile \"\\\\server\\share\\prova\"", {"sb", "compile", "\\\\server\\share\\prova"}, true},
    // What cmd's Tab completion writes: the options after the folder stay options.
    {"sb compile \"C:\\scenari\\prova\\\" --check --train 123",
     {"sb", "compile", "C:\\scenari\\prova\\", "--check", "--train", "123"}, false},
    {"sb compile \"C:\\scenari\\prova\\\"", {"sb", "compile", "C:\\scenari\\prova\\"}, false},
    {"sb inspect \"C:\\\" --kind track", {"sb", "inspect", "C:\\", "--kind", "track"}, false},
    // A quote escaped inside a quoted argument, not at its end, stays a quote.
    {"sb \"a\\\"b\"", {"sb", "a\"b"}, true},
};

TEST(WindowsCommandLine, SplitsAsMeant) {
  for (const SplitCase& c : kCases) EXPECT_EQ(SplitWindowsCommandLine(c.line), c.args) << c.line;
}

#ifdef _WIN32
// Where the trailing backslash plays no part, the split is the system's.
TEST(WindowsCommandLine, OrdinaryLinesSplitAsTheSystemSplitsThem) {
  for (const SplitCase& c : kCases) {
    if (!c.as_the_system_splits) continue;
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(Widen(c.line).c_str(), &argc);
    ASSERT_NE(argv, nullptr);
    Args system;
    for (int k = 0; k < argc; ++k) system.push_back(Narrow(argv[k]));
    ::LocalFree(argv);
    EXPECT_EQ(SplitWindowsCommandLine(c.line), system) << c.line;
  }
}
#endif

}  // namespace
}  // namespace sb
