#include "authoring/command_io.h"

namespace sb {

std::string BaseDirectory(const std::string& dir, char separator) {
  if (dir.empty()) return ".";
  std::string d = dir;
  auto is_sep = [&](char c) { return c == separator || c == '/'; };
  while (d.size() > 1 && is_sep(d.back())) d.pop_back();
  // The root: the separator is added back when a file name is joined to it.
  if (d.size() == 1 && is_sep(d[0])) return "";
  return d;
}

}  // namespace sb
