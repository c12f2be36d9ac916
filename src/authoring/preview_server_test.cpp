#include "authoring/preview_server.h"

#include <gtest/gtest.h>

namespace sb {
namespace {

TEST(PreviewServer, HostHeaderMustNameTheLoopbackAddressAndPort) {
  EXPECT_TRUE(HostAllowed("127.0.0.1:8080", 8080));
  for (const char* host : {"127.0.0.1:8081", "127.0.0.1", "localhost:8080", "evil.example:8080",
                           "127.0.0.1:8080.evil.example", "127.0.0.1:08080", "", " 127.0.0.1:8080",
                           "[::1]:8080", "127.0.0.2:8080"})
    EXPECT_FALSE(HostAllowed(host, 8080)) << host;
}

TEST(PreviewServer, ListensOnAFreeLoopbackPort) {
  PreviewServer a, b;
  std::string err;
  ASSERT_TRUE(a.Listen(0, &err)) << err;
  EXPECT_NE(a.Port(), 0);
  // The port is taken now: a second server cannot have it, and says why.
  EXPECT_FALSE(b.Listen(a.Port(), &err));
  EXPECT_NE(err.find("cannot listen on 127.0.0.1:" + std::to_string(a.Port())), std::string::npos) << err;
}

}  // namespace
}  // namespace sb
