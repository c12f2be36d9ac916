// The consistency pass over the track: limit markers around slowdowns.
#pragma once

#include "model/form1.h"

namespace sb {

Variant minimo(const Variant& x, const Variant& y);
void RunCellPass(Form1& form);

}  // namespace sb
