// The program's entry: without arguments the default run, otherwise an authoring command.
#pragma once

namespace sb {

int Main(int argc, char** argv);

}  // namespace sb
