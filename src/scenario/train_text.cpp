// Train source text of train 47302: settings, adhesion and speed profile, 23 stations,
// an empty slowdown section, 132 signals and two code reductions.
#include <cstdio>

#include "scenario/scenario_texts.h"
#include "scenario/text_file.h"

namespace sb {
namespace {

// clang-format off
const char* const kTrainHead[] = {
    "[generale]",
    "numero vetture,    18",
    "percentuale massa frenata,    160",
    "sabbia,    60",
    "orologio,    9               12            40 ",
    "[aderenze]",
    "aderenza,   0,    100",
    "[vel_limite]",
    "velocita,   0,    30",
    "velocita,    1000,    60",
    "velocita,    2500,   110",
    "velocita,    3500,   160",
    "velocita,    4500,   180",
    "velocita,    6000,   250",
    "velocita,  198700,   180",
    "velocita,  200000,   160",
    "velocita,  300000,   180",
    "[stazioni]",
    "stazione,       0,  8, 1000,  0, 0, 0,  1,1,0,  4,1,1,    1,   9,12,40, TORBENA S.M.N.",
    "stazione,   12000, 12,  900,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, COMPIOBBI",
    "stazione,   20000,  2,  600,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, PONTASSIEVE",
    "stazione,   28000, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, RIGNANO",
    "stazione,   40000,  2,  900,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, FIGLINE VALDARNO",
    "stazione,   48000, 12,  900,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, SAN GIOVANNI VALDARNO",
    "stazione,   56000,  2,  600,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, MONTEVARCHI",
    "stazione,   62000, 12,  700,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, BUCINE",
    "stazione,   72000, 12,  700,  0, 0, 1,  1,1,0,  4,1,1,    0,   0, 0, 0, PONTICINO",
    "stazione,   88400,  4, 1300,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, AREZZO",
    "stazione,  100950, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,    1,   0, 0, 0, FRASSINETO",
    "stazione,  126000, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, TUORO",
    "stazione,  144000, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, MAGIONE",
    "stazione,  180500,  4,  800,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, PERUGIA",
    "stazione,  182000, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, PONTE SAN GIOVANNI",
    "stazione,  195000, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, ASSISI",
    "stazione,  205000,  4,  700,  0, 0, 0,  1,1,0,  2,1,1,    1,  11,50,40, SARVICO",
    "stazione,  214000, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, TREVI",
    "stazione,  260000, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, TERNI",
    "stazione,  290500, 12,  900,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, ORTE",
    "stazione,  315000, 12,  600,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, STIMIGLIANO",
    "stazione,  335000, 12,  500,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, PASSO DI CARESE",
    "stazione,  376000,  6, 2200,  0, 0, 0,  1,1,0,  2,1,1,    0,  12, 0, 0, ZEVA TERMINI",
    "[rallentamenti]",
    "[segnali]",
};

// Signals by runs of consecutive lines: every signal has rapp 0, dx 2, d2 1, d3 1, tempo 0.
struct SignalRun {
  std::vector<int> positions;
  int sx, s1, s2, s3, d1;
};

const SignalRun kSignalRuns[] = {
    {{6200, 8000, 10000, 13600, 15850, 18350, 21450, 23450, 25950, 30950, 32950, 37950, 41450,
      43450, 45450, 51500, 53500, 58000, 60000, 65000, 68500, 70500}, 2, 4, 1, 1, 2},
    {{74000, 76000, 78000, 80000, 82000, 84000, 86000, 91000, 93000, 95000, 97000, 99000, 104000,
      106000, 111000, 113000, 115000, 118000, 120000, 122000, 124000, 129000, 131000, 133000,
      137950, 139950, 141950, 146950, 148950, 150950}, 2, 4, 1, 1, 3},
    {{152950, 159500, 162000, 164000, 166000, 168000, 170000, 172000, 174000, 176000}, 2, 4, 1, 0, 3},
    {{178000, 184000, 189000, 191000, 195900, 197900}, 2, 4, 1, 1, 3},
    {{202000}, 2, 3, 1, 1, 3},
    {{208000, 210000, 216000, 218000, 220000, 222000, 224000, 226000, 228000, 230000, 234000,
      236000, 238000, 240000, 242000, 244000, 246000, 248000}, 2, 4, 1, 1, 3},
    {{250000}, 1, 4, 1, 1, 3},
    {{252000, 254000, 256000, 258000, 263000, 265000, 267000, 269000, 271000, 276000, 278000,
      280000, 282000, 284000, 286000, 288000, 293000, 295000, 297000, 299000, 305000, 307000,
      309000, 311000, 313000, 318000, 320000, 322000, 327000, 329000, 331000, 333000, 337950,
      340000, 342050, 343950, 347950}, 2, 4, 1, 1, 3},
    {{350050, 352000}, 2, 4, 1, 0, 3},
    {{353900}, 2, 4, 0, 0, 3},
    {{356000, 357950, 359650}, 2, 4, 1, 1, 3},
    {{365150}, 2, 3, 1, 1, 3},
};

const char* const kTrainTail[] = {
    "[codici]",
    "abbattimento,  205250,   180",
    "abbattimento,  225750,   AC",
    "[fine]",
};
// clang-format on

std::string SignalLine(int position, const SignalRun& r) {
  const int rapp = 0, dx = 2, d2 = 1, d3 = 1, tempo = 0;
  char buf[64];
  std::snprintf(buf, sizeof buf, "segnale,%8d,   %d, %d, %d,  %d, %d,    %d,  %d,%d,%d, %d",
                position, r.sx, r.s1, r.s2, r.s3, rapp, dx, r.d1, d2, d3, tempo);
  return buf;
}

}  // namespace

std::vector<std::string> TrainTextLines() {
  std::vector<std::string> lines(std::begin(kTrainHead), std::end(kTrainHead));
  for (const SignalRun& run : kSignalRuns)
    for (int position : run.positions) lines.push_back(SignalLine(position, run));
  lines.insert(lines.end(), std::begin(kTrainTail), std::end(kTrainTail));
  return lines;
}

void dati_treno(Form1& form) { WriteTextFile(form, ScenarioFile::kTrainSource, LineTable(TrainTextLines())); }

}  // namespace sb
