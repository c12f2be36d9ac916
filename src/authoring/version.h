// The program's version, as `--version` prints it: the project's version in CMakeLists.txt.
#pragma once

namespace sb {

const char* Version();

}  // namespace sb
