#include "driver/commands.h"

#include <cstdio>
#include <string>

#include "driver/file_system.h"
#include "driver/platform.h"
#include "driver/run.h"

namespace sb {

int Main(int argc, char** argv) {
  (void)argv;
  if (argc <= 1) {
    auto platform = MakePlatform();
    auto fs = MakeRealFileSystem();
    Form1 form;
    form.fs = fs.get();
    form.BaseDirectory = platform->ExecutableDirectory();
    form.Separator = platform->PathSeparator();
    return Form_Load(form, *platform);
  }
  std::fputs("usage: scenario-builder\n", stderr);
  return 2;
}

}  // namespace sb
