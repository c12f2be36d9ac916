// The route half of the reader over any route text, with an empty train text after it.
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "readers/source_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using sb::ScenarioFile;
  sb::fuzz::Folder s;
  s.Put(ScenarioFile::kRouteSource, std::string_view(reinterpret_cast<const char*>(data), size));
  s.Put(ScenarioFile::kTrainSource, "[generale]\r\n[fine]\r\n");
  s.form.LineDataFlag = 1;
  sb::memorizza_dati(s.form);  // every failure while reading ends as fault 25 inside
  sb::fuzz::CheckModel(s.form);
  // The route text is deleted on every path once it was opened; the train text stays
  // only when the route half ended at a fault of its own.
  SB_CHECK(!s.Has(ScenarioFile::kRouteSource));
  if (s.Has(ScenarioFile::kTrainSource))
    SB_CHECK(s.form.ErrorCode != 25 && s.form.ErrorCode != 15 && s.form.ErrorCode != 2);
  return 0;
}
