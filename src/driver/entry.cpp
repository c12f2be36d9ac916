#include "driver/entry.h"

#include <iostream>
#include <string>
#include <vector>

#include "authoring/commands.h"
#include "driver/run.h"
#include "io/file_system.h"
#include "platform/platform.h"

namespace sb {

int Main(int argc, char** argv) {
  if (argc <= 1) {
    auto platform = MakePlatform();
    auto fs = MakeRealFileSystem();
    Form1 form;
    form.run.fs = fs.get();
    form.run.folder = platform->ExecutableDirectory();
    form.run.separator = platform->PathSeparator();
    return Form_Load(form, *platform);
  }
  auto fs = MakeRealFileSystem();
  CommandIo io{fs.get(), MakePlatform()->PathSeparator(), &std::cout, &std::cerr};
  int status = RunCommand(std::vector<std::string>(argv + 1, argv + argc), io);
  std::cout.flush();
  return status;
}

}  // namespace sb
