#include "driver/entry.h"

#include <string>
#include <vector>

#include "authoring/commands.h"
#include "driver/run.h"
#include "io/file_system.h"
#include "platform/platform.h"

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
  int status = RunCommand(args, io);
  out.flush();
  err.flush();
  return status;
}

}  // namespace sb
