// The program's version, as `--version` prints it; the same as project(VERSION) in
// CMakeLists.txt.
#pragma once

namespace sb {

inline constexpr char kVersion[] = "1.0.0";

}  // namespace sb
