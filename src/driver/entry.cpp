#include "driver/entry.h"

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "authoring/commands.h"
#include "driver/run.h"
#include "io/file_system.h"
#include "platform/platform.h"

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace sb {

int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) {
    auto platform = MakePlatform();
    auto fs = MakeRealFileSystem();
    Form1 form;
    form.run.fs = fs.get();
    form.run.folder = platform->ExecutableDirectory();
    form.run.separator = platform->PathSeparator();
    return Form_Load(form, *platform);
  }
  auto fs = MakeRealFileSystem();
  CommandIo io{fs.get(), MakePlatform()->PathSeparator(), &out, &err};
#ifdef _WIN32
  // A console of Windows shows escapes only when asked to: colour with --color=always.
  io.err_shows_colour = false;
#else
  const char* term = std::getenv("TERM");
  io.err_shows_colour = ::isatty(STDERR_FILENO) == 1 && !(term && std::string(term) == "dumb");
#endif
  const char* no_color = std::getenv("NO_COLOR");
  io.no_color = no_color != nullptr && *no_color != '\0';
  int status = RunCommand(args, io);
  out.flush();
  err.flush();
  return status;
}

}  // namespace sb
