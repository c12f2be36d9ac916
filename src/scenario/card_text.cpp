// Train card: header, classification and braked-mass boxes, timetable of 36 rows.
#include "scenario/scenario_texts.h"
#include "scenario/text_file.h"

namespace sb {
namespace {

// clang-format off
const char* const kCardLines[] = {
    "",
    "",
    "  ___________________                                                ______________",
    " |                   |                    SCHEDA                    |              |",
    " |   TRENO n.47302   |                   da: TORBENA                |    V67  C    |",
    " |___________________|                    a: SARVICO                |    160 %     |",
    "                                             ZEVA                   |______________|",
    "  ___________________                ___________________",
    " |  CLASSIFICAZIONE  |              |  MASSA BLOCCATA   |       ",
    " |        IC         |              |      160T         |",
    " |___________________|              |___________________|",
    "",
    "  ________________________________________________________________________________",
    " | Vel.| Vel.| Progr Km |  No |   Localita' di  Servizio   |     Orario     | Rec |",
    " | Lim.|Marc.|          |  Rs |                            |                |     |",
    " |_____|_____|__________|_____|____________________________|________________|_____|",
    " |     |     |          |     |                            |                |     |",
    " | 60  |     | 0.000    |     | TORBENA S.M.N.             |   11.20.40     |     |",
    " | 110 |     | 12.000   |     | COMPIBBI                   |                |     |",
    " |     |     | 20.000   |     | PONTASSIEVE                |                |     |",
    " | 250 |     | 28.000   |     | RIGNANO                    |                |     |",
    " |     |     | 35.000   |     | INCISA                     |                |     |",
    " |     |     | 40.000   |     | FIGLINE                    |                |     |",
    " |     |     | 48.000   |     | SAN GIOVANNI VALDARNO      |                |     |",
    " |     |     | 54.000   |     | MONTEVARCHI                |                |     |",
    " |     |     | 62.000   |     | BUCINE                     |                |     |",
    " |     |     | 67.000   |     | LATERINA                   |                |     |",
    " |     |     | 72.000   |     | PONTICINO                  |                |     |",
    " |     |     | 88.000   |     | AREZZO                     |                |     |",
    " |     |     | 101.000  |     | FRASSINETO                 |                |     |",
    " |     |     | 106.000  |     | CASTIGLIONFIORENTINO       |                |     |",
    " |     |     | 117.000  |     | CORTONA                    |                |     |",
    " |     |     | 126.000  |     | TUORO                      |                |     |",
    " |     |     | 135.000  |     | PASSIGNANO                 |                |     |",
    " |     |     | 144.000  |     | MAGIONE                    |                |     |",
    " |     |     | 155.000  |     | ELLERA                     |                |     |",
    " |     |     | 165.000  |     | PERUGIA                    |                |     |",
    " |     |     | 177.000  |     | PONTE SAN GIOVANNI         |                |     |",
    " |     |     | 186.000  |     | BASTIA                     |                |     |",
    " |     |     | 190.000  |     | ASSISI                     |                |     |",
    " |     |     | 200.000  |     | SPELLO                     |                |     |",
    " |     |     | 205.000  |     | SARVICO                    | 12.30.00 / 01  |     |",
    " |     |     | 214.000  |     | TREVI                      |                |     |",
    " |     |     | 231.000  |     | SPOLETO                    |                |     |",
    " |     |     | 260.000  |     | TERNI                      |                |     |",
    " |     |     | 273.000  /     | NARNI                      |                |     |",
    " |     |     | 289.000  |     | ORTE                       |                |     |",
    " |_____|_____|_302.000__|_____|_BORGHETTO___   ____________|________________|_____|",
    " I     I     I 315.000  I     I STIMIGLIANO                I                I     I",
    " I     I     I 324.000  I     I MONTORSO                   I                I     I",
    " I     I     I 335.000  I     I PASSO DI CORESE            I                I     I",
    " I     I     I 346.000  I     I MONTE ROTONDO              I                I     I",
    " I     I     I 371.000  I     I ZEVA TERMINI               I                I     I",
};
// clang-format on

}  // namespace

std::vector<std::string> TrainCardLines() { return {std::begin(kCardLines), std::end(kCardLines)}; }

void dati_scheda(Form1& form) { WriteTextFile(form, ScenarioFile::kTrainCard, LineTable(TrainCardLines())); }

}  // namespace sb
