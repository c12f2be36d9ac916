#include "authoring/lsp_command.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "authoring/lsp_channel.h"
#include "command_run.h"
#include "memory_file_system.h"

namespace sb {
namespace {

TEST(LspCommand, TakesNoArgumentsButStdio) {
  MemoryFileSystem fs;
  testing::CommandResult r = testing::RunInMemory(fs, {"lsp", "--port", "4000"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("unknown argument '--port'"), std::string::npos) << r.err;
}

#ifndef _WIN32
// The built program as an editor starts it: messages on standard input, answers on standard
// output, the end at "exit".
TEST(LspCommand, EndToEndOverPipes) {
  const std::string dir = testing::FreshDirectory("lsp_command");
  const std::string input = dir + "/input";
  testing::WriteBytes(input, Frame(R"({"jsonrpc":"2.0","id":1,"method":"initialize","params":{}})") +
                                 Frame(R"({"jsonrpc":"2.0","id":2,"method":"shutdown"})") +
                                 Frame(R"({"jsonrpc":"2.0","method":"exit"})"));
  const std::string command = std::string(SB_EXECUTABLE) + " lsp --stdio <" + input + " >" + dir + "/output";
  EXPECT_EQ(std::system(command.c_str()), 0);
  const std::string out = testing::ReadBytes(dir + "/output");
  EXPECT_EQ(out.rfind("Content-Length: ", 0), 0u) << out;
  EXPECT_NE(out.find(R"("capabilities")"), std::string::npos);
  EXPECT_NE(out.find(R"({"jsonrpc":"2.0","id":2,"result":null})"), std::string::npos) << out;
}
#endif

}  // namespace
}  // namespace sb
