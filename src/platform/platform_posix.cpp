// Console backend on POSIX hosts.
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <string>

#include "platform/platform.h"

namespace sb {

void ConsolePlatform::ShowWaitWindow() {
  std::fputs("Attendere\n", stdout);
  std::fflush(stdout);
}

void ConsolePlatform::ShowMessage(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::fputc('\n', stderr);
}

std::string ConsolePlatform::ExecutableDirectory() {
  std::string buf(PATH_MAX, '\0');
  ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return ".";
  buf.resize(static_cast<size_t>(n));
  size_t slash = buf.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "";
  return buf.substr(0, slash);
}

char ConsolePlatform::PathSeparator() const { return '/'; }

std::unique_ptr<Platform> MakePlatform() { return std::make_unique<ConsolePlatform>(); }

}  // namespace sb
