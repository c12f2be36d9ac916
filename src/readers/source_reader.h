// The reader `memorizza_dati`: the route half, then the train half, with one handler that
// turns any failure while reading into fault 25.
#pragma once

#include "model/form1.h"

namespace sb {

void memorizza_dati(Form1& form);

}  // namespace sb
