// The two scenario codes computed from the train number and the scenario name.
#pragma once

#include <cstdint>
#include <string>

#include "model/form1.h"

namespace sb {

// Lower case in the Windows-1252 code page.
std::string LowerCaseCp1252(const std::string& text);
int32_t codice_gara_st(Form1& form);
int32_t codice_gara_og(Form1& form);

}  // namespace sb
