// Command line: no arguments is the default run; the authoring commands are additions.
#pragma once

namespace sb {

int Main(int argc, char** argv);

}  // namespace sb
