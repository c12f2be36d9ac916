#include "io/file_system.h"

#include <gtest/gtest.h>

namespace sb {
namespace {

TEST(ParentFolder, OfPathsWithEitherSeparator) {
  const struct {
    const char* path;
    char separator;
    const char* parent;
  } cases[] = {
      {"a/b", '/', "a"},          {"a//b/", '/', "a"},        {"a", '/', ""},
      {"./a", '/', "."},          {"/a", '/', "/"},            {"/", '/', ""},
      {"", '/', ""},              {"a\\b", '/', ""},           {"a\\b", '\\', "a"},
      {"C:\\x\\y", '\\', "C:\\x"}, {"C:\\x", '\\', "C:\\"},    {"C:\\", '\\', ""},
      {"C:/x", '\\', "C:/"},      {"\\\\srv\\share\\x", '\\', "\\\\srv\\share"},
  };
  for (const auto& c : cases) EXPECT_EQ(ParentFolder(c.path, c.separator), c.parent) << c.path;
}

}  // namespace
}  // namespace sb
