#include "authoring/lsp_channel.h"

#include <gtest/gtest.h>

#include <sstream>

namespace sb {
namespace {

// Reads every message of a stream: the bodies, "!" and the error for a bad frame.
std::vector<std::string> ReadAll(const std::string& input) {
  std::istringstream in(input);
  std::ostringstream out;
  StreamChannel channel(in, out);
  std::vector<std::string> got;
  std::string body, error;
  for (;;) {
    error.clear();
    const ReadOutcome r = channel.Read(&body, &error);
    if (r == ReadOutcome::kEnd) {
      if (!error.empty()) got.push_back("end: " + error);
      return got;
    }
    got.push_back(r == ReadOutcome::kMessage ? body : "! " + error);
  }
}

TEST(StreamChannel, ReadsFramedMessagesAndGoesOnAfterABadFrame) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ReadAll(Frame("{}") + Frame("{\"a\":\"\xC3\xA8\"}")), (V{"{}", "{\"a\":\"\xC3\xA8\"}"}));
  // Other headers, any letter case, blank lines between messages.
  EXPECT_EQ(ReadAll("content-length: 2\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n{}\r\n" +
                    Frame("[]")),
            (V{"{}", "[]"}));
  EXPECT_EQ(ReadAll("Content-Type: x\r\n\r\n" + Frame("{}")), (V{"! a message without a Content-Length header", "{}"}));
  EXPECT_EQ(ReadAll("Content-Length: 2x\r\n\r\n" + Frame("{}")),
            (V{"! a Content-Length that is not a number of bytes", "{}"}));
  EXPECT_EQ(ReadAll("Content-Length: 10\r\n\r\n{}"), (V{"end: the input ended inside a message"}));
  EXPECT_EQ(ReadAll("Content-Length: 10\r\n"), (V{"end: the input ended inside a message header"}));
  EXPECT_EQ(ReadAll("Content-Length: 99999999999\r\n\r\n"),
            (V{"! a message of 99999999999 bytes, more than the 67108864 accepted"}));
  EXPECT_EQ(ReadAll(""), V{});
}

TEST(StreamChannel, WritesEachMessageInItsFrame) {
  std::istringstream in;
  std::ostringstream out;
  StreamChannel channel(in, out);
  channel.Write("{\"x\":\"\xC3\xA8\"}");
  EXPECT_EQ(out.str(), "Content-Length: 10\r\n\r\n{\"x\":\"\xC3\xA8\"}");
}

}  // namespace
}  // namespace sb
