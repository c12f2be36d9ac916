// Random route and train texts within the rules of the formats: lines of random length with
// curves, gradients, mountain stretches, boards, stations, signals, slowdowns and code
// reductions, for the property tests of the decompiler.
#pragma once

#include <cstdint>
#include <string>

namespace sb::testing {

struct RandomTexts {
  std::string route;  // bytes, CR LF
  std::string train;
};

// The same seed gives the same texts. Items are spread so that they seldom need the same
// cell; a text that still records a fault is for the caller to set aside.
RandomTexts RandomScenarioTexts(uint32_t seed);

}  // namespace sb::testing
