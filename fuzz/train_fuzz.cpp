// The train half over any train text, after a fixed valid route, then the rest of the
// compile in memory (cell pass, stamps, codes, the files built but not written).
#include <cstdint>
#include <string_view>

#include "compiler/compile.h"
#include "fuzz_support.h"
#include "model/run_errors.h"

namespace {

// 30 km with a board, speed boards, a mountain with markers and a gradient change, so
// that train items meet occupied cells.
constexpr char kRoute[] =
    "[generale]\r\n"
    "lunghezza percorso,    30000\r\n"
    "progressiva chilometrica uno,    0,    0,    0\r\n"
    "progressiva chilometrica due,    0,    0,    0\r\n"
    "progressiva chilometrica tre,    0,    0,    0\r\n"
    "sfondo uno,    1\r\n"
    "sfondo due,    0\r\n"
    "sfondo tre,    0\r\n"
    "ripetizione segnali 9 codici,    1500,    30000\r\n"
    "[pendenze]\r\n"
    "pendenza,  0,  1\r\n"
    "pendenza,  12000,  -2\r\n"
    "[montagne]\r\n"
    "montagna,   3000,  3500,  12\r\n"
    "montagna,   20000,  24000,  11\r\n"
    "[cartelli]\r\n"
    "indicatori_vmax,  1000,  60,  70,  50,  1,  60,  70,  50,  2\r\n"
    "[indicazioni]\r\n"
    "cartello_indicatore,  10950,   (   INIZIO LINEA)(   DIRETTISSIMA)\r\n"
    "[fine]\r\n";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using sb::ScenarioFile;
  sb::fuzz::Folder s;
  s.Put(ScenarioFile::kRouteSource, kRoute);
  s.Put(ScenarioFile::kTrainSource, std::string_view(reinterpret_cast<const char*>(data), size));
  int32_t j = 0;
  try {
    sb::memorizza_percorso(s.form, j, sb::BinaryFiles::kNone);
  } catch (const sb::StampPlaceTaken&) {
    // An occupied stamp place: an expected end of the compile.
  } catch (const sb::RunFailure&) {
    // A text too long for the settings file.
  }
  SB_CHECK(s.form.HasTrack);  // the route is valid
  sb::fuzz::CheckModel(s.form);
  SB_CHECK(!s.Has(ScenarioFile::kRouteSource));
  SB_CHECK(!s.Has(ScenarioFile::kTrainSource));
  return 0;
}
