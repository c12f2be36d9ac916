// Route source text: the line of 376,000 m, its curves, gradients, mountains and boards.
#include "scenario/scenario_texts.h"
#include "scenario/text_file.h"

namespace sb {
namespace {

// clang-format off
const char* const kRouteLines[] = {
    "[generale]",
    "lunghezza percorso,    376000",
    "progressiva chilometrica uno,    0,    0,    0",
    "progressiva chilometrica due,    0,    0,    0",
    "progressiva chilometrica tre,    0,    0,    0",
    "sfondo uno,    1",
    "sfondo due,    0",
    "sfondo tre,    0",
    "ripetizione segnali 9 codici,    1500,    360000",
    "[curve]",
    "curvas1,  2000,  10000",
    "curvad3,  14000,  3000",
    "curvas6,  21000,  300",
    "curvad1,  24000,  14000",
    "curvas2,  42500,  5500",
    "curvad3,  51000,  3000",
    "curvas6,  60050,  300",
    "curvas6,  60350,  300",
    "curvad6,  60650,  300",
    "curvas6,  60950,  250",
    "curvad6,  61200,  150",
    "curvas6,  63500,  50",
    "curvad1,  64500,  9000",
    "curvas4,  79000,  550",
    "curvad2,  82000,  5000",
    "curvas3,  90000,  4000",
    "curvad2,  96500,  10000",
    "curvas6,  110000,  50",
    "curvas5,  111000,  450",
    "curvad2,  114500,  5650",
    "curvas1,  126500,  10900",
    "curvad6,  141000,  100",
    "curvad6,  152000,  300",
    "curvas1,  158500,  19000",
    "curvad1,  191700,  10000",
    "curvas1,  209050,  10000",
    "curvas2,  227650,  4950",
    "curvad1,  238150,  21000",
    "curvas6,  264150,  300",
    "curvad1,  273150,  8900",
    "curvas3,  287150,  5000",
    "curvad1,  297150,  25000",
    "curvas4,  328650,  1850",
    "curvad1,  333650,  10000",
    "curvas4,  348150,  450",
    "curvad3,  362750,  2500",
    "[pendenze]",
    "pendenza,   0,    0",
    "pendenza,  4000,   1",
    "pendenza,  29500,   0",
    "pendenza,  186150,   -2",
    "pendenza,  208700,   0",
    "pendenza,  214700,   3",
    "pendenza,  224400,   0",
    "pendenza,  276450,   -1",
    "pendenza,  285950,   0",
    "[montagne]",
    "montagna,   3000,  3500,  12",
    "montagna,   23500,  25500,  12",
    "montagna,   101550,  107550,  12",
    "montagna,   170750,  172650,  12",
    "montagna,   188750,  191750,  12",
    "montagna,   207250,  209800,  12",
    "montagna,   287750,  288750,  12",
    "montagna,   308850,  313850,  12",
    "[cartelli]",
    "indicatori_vmax,  1000,  60,  70,  50,  1,  60,  70,  50,  2",
    "indicatori_vmax,  2500,  110,  120,  100,  2,  100,  110,  120,  2",
    "indicatori_vmax,  3500,  160,  150,  160,  2,  170,  140,  120,  2",
    "indicatori_vmax,  4500,  180,  170,  160,  2,  180,  160,  150,  1",
    "indicatori_vmax,  108550,  250,  220,  250,  2,  250,  250,  220,  2",
    "indicatori_vmax,  198000,  180,  170,  160,  2,  180,  180,  160,  1",
    "indicatori_vmax,  200000,  160,  150,  140,  2,  160,  150,  120,  2",
    "indicatori_vmax,  300000,  180,  170,  160,  1,  180,  175,  160,  2",
    "[indicazioni]",
    "cartello_indicatore,  109950,   (   INIZIO LINEA)(   DIRETTISSIMA)",
    "cartello_indicatore,  198800,   (    DEPRESSIONE )(  - 19.6  s.l.m.)",
    "[fine]",
};
// clang-format on

}  // namespace

std::vector<std::string> RouteTextLines() { return {std::begin(kRouteLines), std::end(kRouteLines)}; }

void dati_linea(Form1& form) { WriteTextFile(form, ScenarioFile::kRouteSource, LineTable(RouteTextLines())); }

}  // namespace sb
