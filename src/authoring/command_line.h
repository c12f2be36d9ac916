// Options of the authoring commands: "--name value", "--name=value", flags, positionals.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

namespace sb {

struct OptionDef {
  const char* name;  // with the leading "--"
  bool takes_value;
};

struct ParsedArgs {
  std::vector<std::string> positional;
  std::map<std::string, std::string> values;
  std::set<std::string> flags;

  bool Has(const std::string& flag) const { return flags.count(flag) != 0; }
  std::string Value(const std::string& name, const std::string& fallback) const {
    auto it = values.find(name);
    return it == values.end() ? fallback : it->second;
  }
};

// Parses the arguments after the command name. "--" ends the options. Fails, with a
// message for the user, on an unknown option, a missing value, an option given twice or
// more than `max_positional` positional arguments.
bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionDef>& defs,
               size_t max_positional, ParsedArgs* out, std::string* err);

// " (did you mean 'NAME'?)" for the name of `names` nearest to a mistyped word, or "".
std::string DidYouMean(const std::string& word, const std::vector<const char*>& names);

// Whether "--help" or "-h" appears among the options.
bool WantsHelp(const std::vector<std::string>& args);

}  // namespace sb
