#include "readers/format_table.h"

#include <cctype>

#include "readers/key_match.h"

namespace sb {
namespace {

constexpr SourceFile kRoute = SourceFile::kRoute;
constexpr SourceFile kTrain = SourceFile::kTrain;
constexpr ValueKind kL = ValueKind::kInt32;
constexpr ValueKind kI = ValueKind::kInt16;
constexpr ValueKind kB = ValueKind::kByte;

constexpr char kInTrack[] = "0 up to 100 m before the end of the track (route length + 6,900 m)";
constexpr char kKmMeaning[] =
    "A kilometric reference entry. After the general section the three entries are put in "
    "order: the one with the strictly greatest first value goes to row 81, the next to row 82, "
    "the smallest to row 83 (all three are cleared when two share the greatest first value); "
    "when the first values add up to 0 the entries are placed by their second values instead.";

std::vector<KeyInfo> MakeKeys() {
  std::vector<KeyInfo> k;
  // --- Route text, general section -------------------------------------------------------
  k.push_back({kRoute, "lunghezza percorso", {"lunghezza", "percorso"}, true,
               "contains 'lunghezza' and 'percorso' (any case)", "[generale]", true,
               "route length", "route lengths", "The length of the line. It must come before every feature line: it sizes the track "
               "(one cell per 50 m, the line plus 7,000 m) and the plan of the line.",
               {{"route length", "m", kL, "0 to 1,000,000",
                 "length of the line; the track runs 7,000 m beyond it",
                 "row 84 second value; (length + 7,000) / 50 cells, rounded"}},
               "lunghezza percorso,    376000"});
  k.push_back({kRoute, "progressiva chilometrica uno", {"progressiva", "uno"}, false,
               "contains 'progressiva' and 'uno' (letter case as written)", "[generale]", true,
               "kilometric reference", "kilometric references", kKmMeaning,
               {{"first value", "m", kL, "a multiple of 50 (fault 2)",
                 "the value the three entries are ordered by", "row 83 first value, before the ordering"},
                {"second value", "m", kL, "a multiple of 50 (fault 2)", "raised by 100 when the flag is 1",
                 "row 83 second value, before the ordering"},
                {"flag", "", kL, "1 adds 100 to the second value; any other value does not",
                 "the entry's flag", "row 83 third value, before the ordering"}},
               "progressiva chilometrica uno,    0,    0,    0"});
  k.push_back({kRoute, "progressiva chilometrica due", {"progressiva", "due"}, false,
               "contains 'progressiva' and 'due' (letter case as written)", "[generale]", true,
               "kilometric reference", "kilometric references", kKmMeaning,
               {{"first value", "m", kL, "a multiple of 50 (fault 2)",
                 "the value the three entries are ordered by", "row 82 first value, before the ordering"},
                {"second value", "m", kL, "a multiple of 50 (fault 2)", "raised by 100 when the flag is 1",
                 "row 82 second value, before the ordering"},
                {"flag", "", kL, "1 adds 100 to the second value; any other value does not",
                 "the entry's flag", "row 82 third value, before the ordering"}},
               "progressiva chilometrica due,    0,    0,    0"});
  k.push_back({kRoute, "progressiva chilometrica tre", {"progressiva", "tre"}, false,
               "contains 'progressiva' and 'tre' (letter case as written)", "[generale]", true,
               "kilometric reference", "kilometric references", kKmMeaning,
               {{"first value", "m", kL, "a multiple of 50 (fault 2)",
                 "the value the three entries are ordered by", "row 81 first value, before the ordering"},
                {"second value", "m", kL, "a multiple of 50 (fault 2)", "raised by 100 when the flag is 1",
                 "row 81 second value, before the ordering"},
                {"flag", "", kL, "1 adds 100 to the second value; any other value does not",
                 "the entry's flag", "row 81 third value, before the ordering"}},
               "progressiva chilometrica tre,    0,    0,    0"});
  k.push_back({kRoute, "sfondo uno", {"sfondo", "uno"}, false,
               "contains 'sfondo' and 'uno' (letter case as written)", "[generale]", true,
               "background setting", "background settings", "The first background setting of the line.",
               {{"background", "", kL, "any 32-bit value", "background setting one",
                 "row 85 first value"}},
               "sfondo uno,    1"});
  k.push_back({kRoute, "sfondo due", {"sfondo", "due"}, false,
               "contains 'sfondo' and 'due' (letter case as written)", "[generale]", true,
               "background setting", "background settings", "The second background setting of the line.",
               {{"background", "", kL, "any 32-bit value", "background setting two",
                 "row 85 third value (position)"}},
               "sfondo due,    0"});
  k.push_back({kRoute, "sfondo tre", {"sfondo", "tre"}, false,
               "contains 'sfondo' and 'tre' (letter case as written)", "[generale]", true,
               "background setting", "background settings", "The third background setting of the line.",
               {{"background", "", kL, "any 32-bit value", "background setting three",
                 "row 85 second value (extent end)"}},
               "sfondo tre,    0"});
  k.push_back({kRoute, "ripetizione segnali 9 codici", {"ripetizione", "segnali"}, false,
               "contains 'ripetizione' and 'segnali' (letter case as written); the key names the "
               "codes: '4' (tested first) or '9' (fault 5 without either)",
               "[generale]", true, "signal repetition", "signal repetitions",
               "Signal repetition in the cab, with 4 or 9 codes.",
               {{"first value", "m", kL, "a multiple of 50 (fault 3)",
                 "first value of the signal repetition", "row 86 first value"},
                {"second value", "m", kL, "a multiple of 50 (fault 4)",
                 "second value of the signal repetition; 0 turns the repetition off (0 codes)",
                 "row 86 second value; row 86 third value = 4, 9 or 0 codes"}},
               "ripetizione segnali 9 codici,    1500,    360000"});
  // --- Route text, feature lines ---------------------------------------------------------
  k.push_back({kRoute, "curvas1", {"curva"}, true,
               "contains 'curva' (any case), only when the line data file is made; the first of "
               "the digits 1 to 6 in the key gives the class (fault 103 without one), an 's' (any "
               "case) turns the curve to the left, otherwise it turns to the right",
               "[curve]", false, "curve", "curves",
               "A curve of the plan of the line: curvas1 to curvas6 turn left, curvad1 to curvad6 "
               "turn right; class 1 has a radius of 10,000 m, 2 of 5,000 m, 3 of 2,500 m, 4 of "
               "1,000 m, 5 of 500 m, 6 of about 333 m. Curves change the line data file only.",
               {{"start", "m", kL, kInTrack,
                 "where the curve begins; the line runs straight up to here",
                 "plan of the line: point start + 1 is the first one bent"},
                {"length", "m", kL, "0 or more; start + length at most 1,000,000",
                 "length of the curve", "plan of the line: points start + 1 to start + length"}},
               "curvas1,  2000,  10000"});
  k.push_back({kRoute, "pendenza", {"pendenza"}, true,
               "contains 'pendenza' (any case)", "[pendenze]", false,
               "gradient change", "gradient changes", "A change of gradient. The gradient holds from its position up to the next "
               "pendenza line; the last one holds to the end of the track.",
               {{"position", "m", kL, kInTrack, "where the gradient starts",
                 "from cell position / 50, rounded"},
                {"gradient", "", kL, "-100 to 155 (stored as gradient + 100 in a byte)",
                 "the gradient from this position on (the built-in line uses -2 to 3)",
                 "the cells' gradient field, as gradient + 100"}},
               "pendenza,  186150,   -2"});
  k.push_back({kRoute, "montagna", {"montagna"}, true,
               "contains 'montagna' (any case)", "[montagne]", false,
               "mountain stretch", "mountain stretches", "A mountain stretch. A stretch that starts 150 m or less after the previous one ends "
               "takes type 3.",
               {{"start", "m", kL, kInTrack, "where the stretch starts",
                 "cells start / 50 to end / 50 - 1, rounded"},
                {"end", "m", kL, "after the start; cut at the end of the track",
                 "where the stretch ends", "cells start / 50 to end / 50 - 1, rounded"},
                {"type", "", kL, "1 to 10; type + 10 (11 to 20) also places a mountain marker in "
                 "every fourth cell of the stretch that is empty",
                 "mountain type of the stretch", "the cells' mountain field"}},
               "montagna,   3000,  3500,  12"});
  k.push_back({kRoute, "indicatori_vmax", {"indicatori_v"}, true,
               "contains 'indicatori_v' (any case)", "[cartelli]", false,
               "speed indicator board pair", "speed indicator board pairs", "A pair of speed indicator boards, a left one (s) and a right one (d), each with "
               "three speeds a, b, c and a number of stripes.",
               {{"position", "m", kL, kInTrack, "where the boards stand",
                 "cell position / 50 + 1, rounded, which must be free (fault 21)"},
                {"vas", "km/h", kL, "value1 must fit 16 bits", "speed a of the left board",
                 "value1 = vas x 20 + vad / 5, rounded"},
                {"vbs", "km/h", kL, "value2 must fit 16 bits", "speed b of the left board",
                 "value2 = vbs x 20 + vbd / 5, rounded"},
                {"vcs", "km/h", kL, "value3 must fit 16 bits", "speed c of the left board",
                 "value3 = vcs x 20 + vcd / 5, rounded"},
                {"strisces", "", kL, "any; value4 keeps the low 16 bits",
                 "stripes of the left board", "value4 = strisces x 10 + strisced"},
                {"vad", "km/h", kL, "value1 must fit 16 bits", "speed a of the right board",
                 "value1 = vas x 20 + vad / 5, rounded"},
                {"vbd", "km/h", kL, "value2 must fit 16 bits", "speed b of the right board",
                 "value2 = vbs x 20 + vbd / 5, rounded"},
                {"vcd", "km/h", kL, "value3 must fit 16 bits", "speed c of the right board",
                 "value3 = vcs x 20 + vcd / 5, rounded"},
                {"strisced", "", kL, "any; value4 keeps the low 16 bits",
                 "stripes of the right board", "value4 = strisces x 10 + strisced"}},
               "indicatori_vmax,  1000,  60,  70,  50,  1,  60,  70,  50,  2"});
  k.push_back({kRoute, "cartello_indicatore", {"cartello", "indicat"}, true,
               "contains 'cartello' and 'indicat' (any case)", "[indicazioni]", false,
               "indication board", "indication boards", "An indication board with a text. Board texts take the rows of the train settings "
               "from row 80 downwards, the stations take them from row 1 upwards (fault 10 when they "
               "meet).",
               {{"position", "m", kL, kInTrack, "where the board stands",
                 "cell position / 50 + 1, rounded, which must be free (fault 6)"},
                {"text", "", ValueKind::kTextToLineEnd, "up to the end of the line, without a comma",
                 "the text shown on the board", "the name of row 80, 79, ... (one row per board)"}},
               "cartello_indicatore,  109950,   (   INIZIO LINEA)(   DIRETTISSIMA)"});
  // --- Train text ------------------------------------------------------------------------
  k.push_back({kTrain, "numero vetture", {"vetture"}, true,
               "contains 'vetture' (any case)", "[generale]", false,
               "coach count", "coach counts", "The number of coaches of the train.",
               {{"coaches", "", kL, "any 32-bit value", "number of coaches", "row 84 third value"}},
               "numero vetture,    18"});
  k.push_back({kTrain, "percentuale massa frenata", {"massa", "frenata"}, true,
               "contains 'massa' and 'frenata' (any case)", "[generale]", false,
               "braked-mass setting", "braked-mass settings", "The braked-mass percentage of the train.",
               {{"percentage", "%", kL, "any 32-bit value", "braked-mass percentage",
                 "row 84 first value"}},
               "percentuale massa frenata,    160"});
  k.push_back({kTrain, "sabbia", {"sabbia"}, true,
               "contains 'sabbia' (any case)", "[generale]", false,
               "sand setting", "sand settings", "The sand the train carries.",
               {{"sand", "", kI, "-32,768 to 32,767", "sand value", "row 86 value 1"}},
               "sabbia,    60"});
  k.push_back({kTrain, "orologio", {"orologio"}, true,
               "contains 'orologio' (any case)", "[generale]", false,
               "clock setting", "clock settings", "The clock at the start of the run. The three numbers may be separated by blanks "
               "only.",
               {{"hour", "h", kI, "-32,768 to 32,767", "hour of the clock", "row 86 value 3"},
                {"minute", "min", kI, "-32,768 to 32,767", "minute of the clock", "row 86 value 4"},
                {"second", "s", kI, "-32,768 to 32,767", "second of the clock", "row 86 value 5"}},
               "orologio,    9               12            40 "});
  k.push_back({kTrain, "aderenza", {"aderenza"}, true,
               "contains 'aderenza' (any case)", "[aderenze]", false,
               "adhesion change", "adhesion changes", "A change of adhesion. The adhesion holds from its position up to the next aderenza "
               "line; the last one holds to the end of the track. Before the first line the cells "
               "have adhesion 0.",
               {{"position", "m", kL, kInTrack, "where the adhesion starts",
                 "from cell position / 50, rounded"},
                {"adhesion", "%", kL, "0 to 255 (the low 8 bits are stored)",
                 "adhesion from this position on", "the cells' adhesion field"}},
               "aderenza,   0,    100"});
  k.push_back({kTrain, "velocita", {"velocit"}, true,
               "contains 'velocit' (any case)", "[vel_limite]", false,
               "speed limit change", "speed limit changes", "A change of the train's speed limit. The limit holds from its position up to the "
               "next velocita line; the last one holds to the end of the track. Before the first "
               "line the cells have limit 0.",
               {{"position", "m", kL, kInTrack, "where the limit starts",
                 "from cell position / 50, rounded"},
                {"speed limit", "km/h", kL, "0 to 1,277 (stored / 5, rounded, in a byte)",
                 "speed limit from this position on", "the cells' speed limit field, in 5 km/h"}},
               "velocita,    1000,    60"});
  k.push_back({kTrain, "stazione", {"stazione"}, true,
               "contains 'stazione' (any case)", "[stazioni]", false,
               "station", "stations", "A station, with its timetable. Stations are listed by increasing position, each extent "
       "starting at least 350 m after the previous one ends (fault 22). Each takes the next row "
       "of the train settings from row 1 up.",
       {{"position", "m", kL, "a multiple of 50 (fault 8), up to 800 m before the end of the track",
         "position of the station", "the row's position"},
        {"kind", "", kB, "0 to 255",
         "kind of station: 5 and 6 extend from position - length to position + 150, 7 and 8 "
         "from position - length to position + length, the others from position - length / 2 "
         "to position + length / 2; kinds below 25 get a stop mark, and those other than 5 and "
         "6 approach marks",
         "the row's kind"},
        {"length", "m", kL, "a multiple of 100 (fault 9)", "length of the station",
         "the row's extent"},
        {"flag 1", "", kB, "0 to 255", "station flag", "the row's flag 1"},
        {"flag 2", "", kB, "0 to 255",
         "station flag; cleared for a station shorter than 600 m and for the first station",
         "the row's flag 2"},
        {"flag 3", "", kB, "0 to 255",
         "station flag; non-zero lengthens the extent by 50 m; cleared for kinds 5 to 8 and "
         "for the first station",
         "the row's flag 3"},
        {"value 1", "", kI, "-32,768 to 32,767", "station value", "the row's value 1"},
        {"value 2", "", kI, "-32,768 to 32,767", "station value", "the row's value 2"},
        {"flag 4", "", kB, "0 to 255", "station flag", "the row's flag 4"},
        {"value 3", "", kI, "-32,768 to 32,767", "station value", "the row's value 3"},
        {"value 4", "", kI, "-32,768 to 32,767", "station value", "the row's value 4"},
        {"value 5", "", kI, "-32,768 to 32,767", "station value", "the row's value 5"},
        {"flag 5", "", kB, "0 to 255", "station flag", "the row's flag 5"},
        {"hour", "h", kL, "the time in seconds must fit 32 bits", "timetable hour",
         "the row's time, (hour x 60 + minute) x 60 + second"},
        {"minute", "min", kL, "the time in seconds must fit 32 bits", "timetable minute",
         "the row's time"},
        {"second", "s", kL, "the time in seconds must fit 32 bits", "timetable second",
         "the row's time"},
        {"name", "", ValueKind::kText, "up to the next comma or line end", "name of the station",
         "the row's name"}},
       "stazione,   12000, 12,  900,  0, 0, 0,  1,1,0,  4,1,1,    0,   0, 0, 0, COMPIOBBI"});
  k.push_back({kTrain, "rallentamento", {"rallentamento"}, true,
               "contains 'rallentamento' (any case)", "[rallentamenti]", false,
               "slowdown", "slowdowns", "A temporary slowdown: a start and an end cell, a warning point 1,200 m before the "
               "start and, when asked for, four pre-announcement cells before the warning point. "
               "The compiler adds limit markers of 180 km/h around it.",
               {{"position", "m", kL, kInTrack, "where the slowdown starts",
                 "start in cell position / 50 + 1, warning point in cell (position - 1200) / 50 + 1"},
                {"speed", "km/h", kL, "the low 16 bits are stored",
                 "speed of the slowdown; below 110 the compiler adds a limit marker every 400 m "
                 "through it", "value1 of the start, end and warning cells"},
                {"length", "m", kL, "the end must lie on the track", "length of the slowdown",
                 "end in cell (position + length) / 50 + 1"},
                {"f_tt", "", kL, "the low 16 bits are stored", "value stored with the start and end",
                 "value3 of the start and end cells"},
                {"f_ta", "", kL, "0 or not 0",
                 "non-zero asks for the four pre-announcement cells (only when the position is "
                 "above 1,500 m)",
                 "cells (position - 1200) / 50 - 3 to (position - 1200) / 50"},
                {"d_v", "", kL, "0 = none; the low 16 bits are stored", "optional value",
                 "value2 of every cell of the slowdown, when not 0"}},
               "rallentamento,  100000,  60,  500,  0,  1,  0"});
  k.push_back({kTrain, "segnale", {"segnale"}, true,
               "contains 'segnale' (any case)", "[segnali]", false,
               "signal", "signals", "A signal, with approach marks in the four cells 100, 200, 300 and 400 m before it.",
               {{"position", "m", kL, "350 m or more, up to 100 m before the end of the track",
                 "where the signal stands", "cell position / 50 + 1, rounded, which must be free "
                 "(fault 16)"},
                {"sx", "", kL, "any", "code of the signal's left part",
                 "value4 = rapp x 10 + sx x 3 + dx; approach marks sx x 30 + dx x 10 + 1 to 4"},
                {"s1", "", kL, "any", "first value of the left part", "value1 = s1 x 10 + d1"},
                {"s2", "", kL, "any", "second value of the left part", "value2 = s2 x 10 + d2"},
                {"s3", "", kL, "any", "third value of the left part", "value3 = s3 x 10 + d3"},
                {"rapp", "", kL, "any", "a further code of the signal", "value4"},
                {"dx", "", kL, "any", "code of the signal's right part", "value4; approach marks"},
                {"d1", "", kL, "any", "first value of the right part", "value1"},
                {"d2", "", kL, "any", "second value of the right part", "value2"},
                {"d3", "", kL, "any", "third value of the right part", "value3"},
                {"tempo", "", kL, "0 or 101 to 255 (1 to 100 become 101)",
                 "waiting time, kept only when sx is 2", "value5"}},
               "segnale,    8000,   2, 4, 1,  1, 0,    2,  2,1,1, 0"});
  k.push_back({kTrain, "abbattimento", {"abbattimento"}, true,
               "contains 'abbattimento' (any case)", "[codici]", false,
               "code reduction", "code reductions", "A cab-code reduction: with a speed, a limit marker; with a word such as AC or a "
               "speed of 0 or less, a code reduction without a speed.",
               {{"position", "m", kL, kInTrack, "where the reduction stands",
                 "cell position / 50, rounded (no + 1), which must be free (fault 7)"},
                {"speed", "km/h", ValueKind::kNumberOrText, "-32,768 to 32,767, or a word",
                 "speed of the limit marker; 0, less, or a word: no speed",
                 "value1 of a limit marker (type 12), or a code reduction (type 13)"}},
               "abbattimento,  205250,   180"});
  return k;

}

std::vector<FaultInfo> MakeFaults() {
  const SourceFile kNone = SourceFile::kNone;
  return {
      {101, kRoute, "the route text does not exist",
       "The folder holds no file NAME_linea.txt for the scenario name of the compile.",
       "Nothing is read and no binary file is written (the compile cannot complete).",
       "Check the folder and the --scenario name; 'scenario-builder sources DIR' writes a pair of "
       "texts to start from."},
      {102, kRoute, "the route text has no \"[generale]\" line",
       "No field of the route text contains \"[generale]\" before its last field.",
       "Nothing is read and no binary file is written (the compile cannot complete).",
       "Put a line \"[generale]\" before the general section, and a section head such as "
       "\"[curve]\" or \"[fine]\" after the text's last line."},
      {1, kRoute, "the route length is outside 0 to 1,000,000 m",
       "The value of \"lunghezza percorso\" is greater than 1,000,000 or negative.",
       "The reading ends: no track is made and no binary file is written.",
       "Give a route length from 0 to 1,000,000 m."},
      {3, kRoute, "the first signal repetition value is not a multiple of 50",
       "The first value of \"ripetizione segnali\" is not a multiple of 50.",
       "The reading of both texts ends here; the binary files are written from what was read.",
       "Round the value to a multiple of 50."},
      {4, kRoute, "the second signal repetition value is not a multiple of 50",
       "The second value of \"ripetizione segnali\" is not a multiple of 50.",
       "The reading of both texts ends here; the binary files are written from what was read.",
       "Round the value to a multiple of 50."},
      {5, kRoute, "the signal repetition key names neither 4 nor 9 codes",
       "The key of the \"ripetizione segnali\" line contains neither the digit 4 nor the digit 9.",
       "The reading of both texts ends here; the binary files are written from what was read.",
       "Write \"ripetizione segnali 9 codici\" or \"ripetizione segnali 4 codici\"."},
      {103, kRoute, "a curve without a class, or a line of more than 1,000,000 points",
       "A curve key has no digit 1 to 6, or the curves carry the plan of the line beyond point "
       "1,000,000.",
       "The reading of both texts ends here; the binary files are written from what was read.",
       "Write the key as curvas1 to curvas6 or curvad1 to curvad6; keep start + length within "
       "1,000,000 m."},
      {15, kNone, "a position beyond the track",
       "A position lies beyond the track: more than route length + 6,900 m from the start (a "
       "station: more than route length + 6,200 m), or an item whose cells would fall outside it "
       "(a signal before 350 m, a slowdown ending beyond the track, a station whose stop mark "
       "lies beyond the last cell).",
       "The reading of that text stops here; the gradient, speed and adhesion tails are still "
       "filled and the train text is still read. After a fault 15 in the route text, the first "
       "signal or slowdown line of the train text ends its reading.",
       "Check the position against the route length, or make the route longer."},
      {6, kRoute, "the cell of an indication board is taken",
       "The cell of an indication board (position / 50 + 1) already holds a signal, a board or "
       "another item (a mountain marker gives way).",
       "The reading of both texts ends here; the binary files are written from what was read.",
       "Move the board by 50 m or more, or move what stands in its cell."},
      {21, kRoute, "the cell of a speed indicator board pair is taken",
       "The cell of an \"indicatori_vmax\" line (position / 50 + 1) already holds an item.",
       "The reading of both texts ends here; the binary files are written from what was read.",
       "Move the boards by 50 m or more, or move what stands in their cell."},
      {7, kTrain, "the cell of a code reduction is taken",
       "The cell of an \"abbattimento\" line (position / 50, rounded) already holds an item.",
       "The reading of the train text ends here; the binary files are written from what was read.",
       "Move the code reduction by 50 m or more."},
      {16, kTrain, "the cell of a signal is taken",
       "The cell of a signal (position / 50 + 1) already holds an item: another signal, a board, "
       "a slowdown point, a code reduction.",
       "The reading of the train text ends here; the binary files are written from what was read.",
       "Signals need a cell of their own: move one of the two by 50 m or more."},
      {17, kTrain, "the warning cell of a slowdown is taken",
       "The cell 1,200 m before the start of a slowdown above 1,500 m already holds an item.",
       "The reading of the train text ends here; the binary files are written from what was read.",
       "Move the slowdown, or what stands 1,200 m before its start."},
      {18, kTrain, "the start cell of a slowdown is taken",
       "The cell of the slowdown's start already holds an item.",
       "The reading of the train text ends here; the binary files are written from what was read.",
       "Move the slowdown, or what stands at its start."},
      {19, kTrain, "the end cell of a slowdown is taken",
       "The cell of the slowdown's end (position + length) already holds an item.",
       "The reading of the train text ends here; the binary files are written from what was read.",
       "Change the slowdown's length, or move what stands at its end."},
      {20, kTrain, "a pre-announcement cell of a slowdown is taken",
       "One of the four cells before the warning point, asked for with f_ta, already holds an "
       "item; the start, end and warning cells are already written.",
       "The reading of the train text ends here; the binary files are written from what was read.",
       "Move the slowdown, or set f_ta to 0."},
      {8, kTrain, "a station position is not a multiple of 50",
       "Column 1 of a \"stazione\" line is not a multiple of 50.",
       "The reading of the train text ends here; the station's row keeps only its position.",
       "Round the position to a multiple of 50."},
      {9, kTrain, "a station length is not a multiple of 100",
       "Column 3 of a \"stazione\" line is not a multiple of 100.",
       "The reading of the train text ends here; the row keeps its position and kind.",
       "Round the length to a multiple of 100."},
      {24, kTrain, "a station extent ends at or before 100 m",
       "The extent of a station of kind below 25 ends at 100 m or before, so its stop mark has no "
       "cell.",
       "The reading of the train text ends here; the binary files are written from what was read.",
       "Move the station further from the start of the line, or make it longer."},
      {22, kTrain, "a station starts less than 350 m after the previous one ends",
       "The extent of a station starts less than 350 m after the extent of the station before it "
       "ends (stations out of order, or too close).",
       "The reading of the train text ends here; the station's row and marks are already "
       "written.",
       "List the stations by increasing position and keep 350 m between their extents."},
      {10, kTrain, "too many stations",
       "The station rows (from row 1 up) have reached the rows of the indication board texts "
       "(from row 80 down): at most 79 stations, one fewer for each indication board.",
       "The reading of the train text ends here; the last station is stored.",
       "Use fewer stations or fewer indication boards."},
      {2, kRoute, "a kilometric reference value is not a multiple of 50",
       "After the ordering, the first or second value of a kilometric reference entry (rows 81 "
       "to 83) is not a multiple of 50.",
       "Found after the train text is read; the binary files are written from what was read.",
       "Give both values of each \"progressiva chilometrica\" line as multiples of 50."},
      {25, kNone, "a value that cannot be read or does not fit",
       "A text ends in the middle of a line, a value does not fit its field (a byte 0 to 255, a "
       "16-bit value -32,768 to 32,767, a 32-bit value), a computed value does not fit (a speed "
       "whose fifth is over 255, a station time beyond 32 bits), an item would fall outside the "
       "track, or a text cannot be read.",
       "Both readings end and both texts are given up; the binary files are written from what "
       "was read, unless the route length had not been read yet.",
       "Mend the value the message names."},
      {11, kTrain, "no room for a limit marker before a signal near a slowdown warning",
       "A signal stands within 1,000 m before a slowdown's warning point, and both cells before "
       "it hold items that are not limit markers.",
       "Recorded by the cell pass, which goes on; the binary files are written.",
       "Free one of the two cells before the signal, or move the slowdown."},
      {12, kTrain, "no free cell for a limit marker before a slowdown start",
       "None of the three cells of one of the windows 5-7, 11-13 or 18-20 cells before a "
       "slowdown's start is free.",
       "Recorded by the cell pass, which goes on; the binary files are written.",
       "Move the items out of those cells, or move the slowdown."},
      {13, kTrain, "no room for a limit marker inside or after a slow slowdown",
       "In a slowdown below 110 km/h no cell is free near every eighth cell, or the cells before "
       "the first signal after its end are taken.",
       "Recorded by the cell pass, which goes on; the binary files are written.",
       "Free the cells the message names."},
      {1250, kNone, "something stands at position 0",
       "Cell 1 (position 0) holds an item with a first value: the compile puts a fixed stamp "
       "there.",
       "The compile stops; no binary file is written (\" Errore n. 1250\").",
       "Move the item away from position 0 (to 50 m or further)."},
      {1251, kNone, "something stands at position 0",
       "Cell 1 (position 0) holds an item with a second value: the compile puts the scenario "
       "code there.",
       "The compile stops; no binary file is written (\" Errore n. 1251\").",
       "Move the item away from position 0 (to 50 m or further)."},
  };
}


bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

}  // namespace

std::span<const KeyInfo> SourceKeys() {
  static const std::vector<KeyInfo> keys = MakeKeys();
  return keys;
}

const KeyInfo* FindSourceKey(std::string_view name) {
  for (const KeyInfo& k : SourceKeys())
    if (SameNoCase(k.key, name)) return &k;
  return nullptr;
}

const KeyInfo* KeyOfField(SourceFile text, std::string_view field) {
  const std::string f(field);
  for (const KeyInfo& k : SourceKeys()) {
    if (k.text != text) continue;
    bool all = true;
    for (const char* w : k.words) all = all && (k.anyCase ? ContainsNoCase(f, w) : Contains(f, w));
    if (all) return &k;
  }
  return nullptr;
}

std::span<const FaultInfo> FaultCodes() {
  static const std::vector<FaultInfo> faults = MakeFaults();
  return faults;
}

const FaultInfo* FindFault(int32_t code) {
  for (const FaultInfo& f : FaultCodes())
    if (f.code == code) return &f;
  return nullptr;
}

const char* ValueKindName(ValueKind kind) {
  switch (kind) {
    case ValueKind::kInt32: return "32-bit integer";
    case ValueKind::kInt16: return "16-bit integer";
    case ValueKind::kByte: return "byte";
    case ValueKind::kText: return "text";
    case ValueKind::kTextToLineEnd: return "text to the line end";
    case ValueKind::kNumberOrText: return "number or word";
  }
  return "value";
}

}  // namespace sb
