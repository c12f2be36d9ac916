#include "authoring/command_line.h"

#include <gtest/gtest.h>

namespace sb {
namespace {

const std::vector<OptionDef> kSpecs = {{"--train", true}, {"--json", false}};

TEST(CommandLine, OptionsValuesAndPositionals) {
  struct Case {
    std::vector<std::string> args;
    std::vector<std::string> positional;
    std::string train;
    bool json;
  };
  const Case cases[] = {
      {{}, {}, "-", false},
      {{"dir"}, {"dir"}, "-", false},
      {{"--train", "123", "dir", "--json"}, {"dir"}, "123", true},
      {{"--train=4 5"}, {}, "4 5", false},
      {{"--train", "--json"}, {}, "--json", false},  // a value may look like an option
      {{"--", "--json"}, {"--json"}, "-", false},     // "--" ends the options
      {{"-"}, {"-"}, "-", false},                     // a lone dash is an argument
  };
  for (const Case& c : cases) {
    ParsedArgs a;
    std::string err;
    ASSERT_TRUE(ParseArgs(c.args, kSpecs, 1, &a, &err)) << err;
    EXPECT_EQ(a.positional, c.positional);
    EXPECT_EQ(a.Value("--train", "-"), c.train);
    EXPECT_EQ(a.Has("--json"), c.json);
  }
}

TEST(CommandLine, Refusals) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"--bogus"}, "unknown option '--bogus'"},
      {{"--train"}, "option '--train' needs a value"},
      {{"--json=1"}, "option '--json' takes no value"},
      {{"--json", "--json"}, "option '--json' given twice"},
      {{"a", "b"}, "unexpected argument 'b'"},
  };
  for (const auto& [args, message] : cases) {
    ParsedArgs a;
    std::string err;
    EXPECT_FALSE(ParseArgs(args, kSpecs, 1, &a, &err));
    EXPECT_EQ(err, message);
  }
}

TEST(CommandLine, HelpAnywhereBeforeTheEndOfOptions) {
  EXPECT_TRUE(WantsHelp({"dir", "--help"}));
  EXPECT_TRUE(WantsHelp({"-h"}));
  EXPECT_FALSE(WantsHelp({"--", "--help"}));
  EXPECT_FALSE(WantsHelp({"dir"}));
}

}  // namespace
}  // namespace sb
