#include "platform/platform.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace sb {
namespace {

namespace fs = std::filesystem;

// The base directory of every file: the folder of the running program, no separator after.
TEST(HostPlatform, ExecutableDirectoryHoldsTheProgram) {
  auto platform = MakePlatform();
  const std::string dir = platform->ExecutableDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_NE(dir.back(), platform->PathSeparator());
  const std::u8string u8(dir.begin(), dir.end());
  EXPECT_TRUE(fs::equivalent(fs::path(u8), fs::path(SB_EXECUTABLE).parent_path()));
#ifdef _WIN32
  EXPECT_EQ(platform->PathSeparator(), '\\');
#else
  EXPECT_EQ(platform->PathSeparator(), '/');
#endif
}

}  // namespace
}  // namespace sb
