#include "authoring/command_line.h"

#include "readers/key_match.h"

namespace sb {

bool ParseArgs(const std::vector<std::string>& args, const std::vector<OptionDef>& defs,
               size_t max_positional, ParsedArgs* out, std::string* err) {
  *out = ParsedArgs();
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (options_ended || a.size() < 2 || a[0] != '-') {
      if (out->positional.size() == max_positional) {
        *err = "unexpected argument '" + a + "'";
        return false;
      }
      out->positional.push_back(a);
      continue;
    }
    if (a == "--") {
      options_ended = true;
      continue;
    }
    std::string name = a, value;
    size_t eq = a.find('=');
    bool inline_value = a.compare(0, 2, "--") == 0 && eq != std::string::npos;
    if (inline_value) {
      name = a.substr(0, eq);
      value = a.substr(eq + 1);
    }
    const OptionDef* def = nullptr;
    for (const OptionDef& s : defs)
      if (name == s.name) def = &s;
    if (def == nullptr) {
      std::vector<const char*> names;
      for (const OptionDef& o : defs) names.push_back(o.name);
      *err = "unknown option '" + name + "'" + DidYouMean(name, names);
      return false;
    }
    if (out->values.count(name) || out->flags.count(name)) {
      *err = "option '" + name + "' given twice";
      return false;
    }
    if (!def->takes_value) {
      if (inline_value) {
        *err = "option '" + name + "' takes no value";
        return false;
      }
      out->flags.insert(name);
      continue;
    }
    if (!inline_value) {
      if (i + 1 == args.size()) {
        *err = "option '" + name + "' needs a value";
        return false;
      }
      value = args[++i];
    }
    out->values[name] = value;
  }
  return true;
}

std::string DidYouMean(const std::string& word, const std::vector<const char*>& names) {
  const char* nearest = NearestKey(word, names);
  return nearest ? std::string(" (did you mean '") + nearest + "'?)" : std::string();
}

bool WantsHelp(const std::vector<std::string>& args) {
  for (const std::string& a : args) {
    if (a == "--") return false;
    if (a == "--help" || a == "-h") return true;
  }
  return false;
}

}  // namespace sb
