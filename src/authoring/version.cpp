#include "authoring/version.h"

namespace sb {

const char* Version() { return SB_VERSION; }

}  // namespace sb
