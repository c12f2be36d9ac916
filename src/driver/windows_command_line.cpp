#include "driver/windows_command_line.h"

namespace sb {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitWindowsCommandLine(std::string_view line) {
  std::vector<std::string> args;
  size_t i = 0;
  const size_t n = line.size();
  // The program name: no escapes; quotes only group.
  {
    std::string name;
    bool quoted = false;
    for (; i < n && (quoted || !IsBlank(line[i])); ++i) {
      if (line[i] == '"') quoted = !quoted;
      else name += line[i];
    }
    args.push_back(name);
  }
  for (;;) {
    while (i < n && IsBlank(line[i])) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n && (quoted || !IsBlank(line[i]))) {
      if (line[i] == '\\') {
        size_t run = 0;
        while (i < n && line[i] == '\\') ++run, ++i;
        if (i >= n || line[i] != '"') {
          arg.append(run, '\\');  // backslashes not before a quote are themselves
          continue;
        }
        const bool closes_argument = i + 1 >= n || IsBlank(line[i + 1]);
        if (run % 2 == 1 && quoted && closes_argument) {
          // "C:\prova\" : the folder's trailing backslash, then the closing quote.
          arg.append((run + 1) / 2, '\\');
          quoted = false;
          ++i;
          continue;
        }
        arg.append(run / 2, '\\');
        if (run % 2 == 1) {  // \" is a quote
          arg += '"';
          ++i;
          continue;
        }
        // An even run: the quote that follows is a delimiter, read below.
      }
      if (line[i] == '"') {
        if (quoted && i + 1 < n && line[i + 1] == '"') {  // "" inside quotes: a quote, and
          arg += '"';                                      // the quotes end
          quoted = false;
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      arg += line[i++];
    }
    args.push_back(arg);
  }
  return args;
}

}  // namespace sb
