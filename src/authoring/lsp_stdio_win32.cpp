#include <fcntl.h>
#include <io.h>

#include <cstdio>

#include "authoring/lsp_command.h"

namespace sb {

void UseBinaryStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
}

}  // namespace sb
