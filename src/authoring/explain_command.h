// `explain`: a fault code or a key of the two texts in words, from the table of the formats.
#pragma once

#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "authoring/reporter.h"

namespace sb {

// What `explain --help` prints.
extern const char kExplainHelp[];

int ExplainCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report);

// The text `explain` prints for a fault code and for a key.
struct FaultInfo;
struct KeyInfo;
std::string ExplainFault(const FaultInfo& fault);
std::string ExplainKey(const KeyInfo& key);

}  // namespace sb
