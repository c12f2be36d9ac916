#include "authoring/lsp_command.h"

namespace sb {

void UseBinaryStandardStreams() {}  // POSIX streams add nothing

}  // namespace sb
