#include "authoring/decompile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <map>

#include "compiler/binary_decode.h"
#include "model/form1.h"

#include "random_scenario.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::BuiltInRouteText;
using testing::BuiltInTrainText;

constexpr char kName[] = "Torbena-Sarvico-Zeva";
constexpr char kTrain[] = "47302";

std::string Describe(const std::vector<FileDifference>& list, size_t at_most = 20) {
  std::string s;
  for (size_t i = 0; i < list.size() && i < at_most; ++i) s += "  " + list[i].what + "\n";
  if (list.size() > at_most) s += "  ... " + std::to_string(list.size() - at_most) + " more\n";
  return s;
}

// Compiles the texts, decompiles the files, compiles the decompiled texts: the differences
// between the two compiles (none when the texts round-trip).
struct RoundTrip {
  CompiledTexts first, second;
  Decompiled texts;
  std::vector<FileDifference> differences;
};

RoundTrip CompileBackAndForth(const std::string& route, const std::string& train, bool line_data = true) {
  RoundTrip t;
  t.first = CompileTexts(route, train, kName, kTrain, line_data);
  EXPECT_EQ(t.first.failure, "");
  std::string err;
  EXPECT_TRUE(Decompile(t.first.files, kName, kTrain, &t.texts, &err)) << err;
  t.second = CompileTexts(TextBytes(t.texts.routeLines), TextBytes(t.texts.trainLines), kName, kTrain, line_data);
  t.differences = CompareBinaries(t.first.files, t.second.files);
  return t;
}

TEST(Decompile, BuiltInScenarioRoundTripsByteForByte) {
  RoundTrip t = CompileBackAndForth(BuiltInRouteText(), BuiltInTrainText());
  ASSERT_EQ(t.first.errorCode, 0);
  EXPECT_TRUE(t.texts.differences.empty()) << Describe(t.texts.differences);
  EXPECT_TRUE(t.differences.empty()) << Describe(t.differences);
  EXPECT_EQ(t.second.files.track, t.first.files.track);
  EXPECT_EQ(t.second.files.settings, t.first.files.settings);
  EXPECT_EQ(t.second.files.lineData, t.first.files.lineData);
}

// The decompiled built-in texts say the same things as the built-in ones, line for line
// where nothing was lost.
TEST(Decompile, BuiltInTextsComeBackLikeTheOriginals) {
  RoundTrip t = CompileBackAndForth(BuiltInRouteText(), BuiltInTrainText());
  const std::vector<std::string> route = t.texts.routeLines;
  auto has = [](const std::vector<std::string>& lines, const std::string& s) {
    for (const std::string& l : lines)
      if (l == s) return true;
    return false;
  };
  EXPECT_EQ(route[0].substr(0, 2), "--");
  EXPECT_EQ(route[1], "[generale]");
  EXPECT_EQ(route[2], "lunghezza percorso,    376000");
  EXPECT_TRUE(has(route, "ripetizione segnali 9 codici,    1500,    360000"));
  EXPECT_TRUE(has(route, "curvas1,    2000,  10000"));
  EXPECT_TRUE(has(route, "curvas6,   60050,    600"));  // two curves of one class in a row
  EXPECT_TRUE(has(route, "montagna,    3000,    3500,  12"));
  EXPECT_TRUE(has(route, "cartello_indicatore,  109950,   (   INIZIO LINEA)(   DIRETTISSIMA)"));
  EXPECT_EQ(route.back(), "[fine]");
  const std::vector<std::string> train = t.texts.trainLines;
  EXPECT_TRUE(has(train, "orologio,    9               12            40 "));
  EXPECT_TRUE(has(train, "stazione, 205000,  4,  700, 0, 0, 0, 1, 1, 0, 2, 1, 1, 1, 11, 50, 40, SARVICO"));
  EXPECT_TRUE(has(train, "abbattimento,  205250,  180"));
  EXPECT_TRUE(has(train, "abbattimento,  225750,   AC"));
  size_t stations = 0, signals = 0;
  for (const std::string& l : train) {
    stations += l.rfind("stazione,", 0) == 0;
    signals += l.rfind("segnale,", 0) == 0;
  }
  EXPECT_EQ(stations, 23u);
  EXPECT_EQ(signals, 132u);
  // The speed boards unpack to the values written.
  EXPECT_TRUE(has(route, "indicatori_vmax,  108550,  250,  220,  250,  2,  250,  250,  220,  2"));
}

TEST(Decompile, WithoutLineDataTheOtherFilesRoundTrip) {
  RoundTrip t = CompileBackAndForth(BuiltInRouteText(), BuiltInTrainText(), false);
  EXPECT_FALSE(t.first.files.lineData.has_value());
  EXPECT_TRUE(t.differences.empty()) << Describe(t.differences);
  EXPECT_NE(t.texts.routeLines[0].find("--no-line-data"), std::string::npos);
}

// What the decompiler must work out rather than read: cases where the obvious text gives
// other bytes.
TEST(Decompile, RecoversWhatTheCompileFolded) {
  struct Case {
    const char* what;
    std::vector<std::string> route, train;
  };
  const Case cases[] = {
      {"adjacent mountain stretches of types other than 3, and one of type above 10 without markers",
       {"[montagne]", "montagna,   20000,  20500,  5", "montagna,   1000,  1500,  12", "montagna,   20500,  21000,  2",
        "montagna,   9000,  9500,  14", "montagna,   30000,  31000,  -240"},
       {}},
      {"kilometric references out of order, with the flag that adds 100",
       {}, {}},
      {"a slowdown with its limit markers beside a code reduction of 250 km/h that they lower",
       {},
       {"[segnali]", "segnale,    8450,   2, 4, 1,  1, 0,    2,  2,1,1, 0", "[rallentamenti]",
        "rallentamento,  10000,  60,  500,  1,  1,  2", "[codici]", "abbattimento,  8450,   250",
        "abbattimento,  8400,   AC", "abbattimento,  20000,   120"}},
      {"gradients, speeds and adhesion that reach the last cells",
       {"[pendenze]", "pendenza,   0,    1", "pendenza,  36900,   -3", "pendenza,  36900,   4", "pendenza,  36900,   5"},
       {"[vel_limite]", "velocita,   0,    30", "velocita,  36900,   60", "velocita,  36900,   70",
        "[aderenze]", "aderenza,   0,    90", "aderenza,  36900,   80", "aderenza,  36900,   70"}},
      {"a signal with tempo 50 stored as 101 and one with marks overwritten by the next",
       {}, {"[segnali]", "segnale,    5000,   2, 4, 1,  1, 0,    2,  2,1,1, 50", "segnale,    5100,   1, 3, 0,  1, 1,    1,  2,1,1, 0"}},
      {"a station after a signal, its approach marks over the signal's",
       {},
       {"[segnali]", "segnale,    8000,   2, 4, 1,  1, 0,    2,  2,1,1, 0", "[stazioni]",
        "stazione,    8000, 12,  400,  0, 0, 0,  1,1,0,  4,1,1,    1,   9,12,40, DOPO"}},
      {"the first station of kind 12 with column 6 set, a short station with column 5 set, and a curve "
       "up to the last point",
       {"[curve]", "curvad6,  30000,  13000"},
       {"[stazioni]", "stazione,    1000, 12,  400,  0, 1, 1,  1,1,0,  4,1,1,    1,   9,12,40, PRIMA",
        "stazione,    5000,  7,  500,  0, 1, 1,  1,1,0,  4,1,1,    1,   0, 0, 0, SECONDA"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> route = c.route;
    std::string route_text = testing::RouteLines(36000, route);
    if (std::string(c.what).rfind("kilometric", 0) == 0) {
      route_text = testing::CrlfLines({"[generale]", "lunghezza percorso,    36000",
                                       "progressiva chilometrica uno,    5000,    2000,    1",
                                       "progressiva chilometrica due,    1000,    4000,    0",
                                       "progressiva chilometrica tre,    3000,    6000,    1", "[fine]"});
    }
    RoundTrip t = CompileBackAndForth(route_text, testing::TrainLines(c.train));
    ASSERT_EQ(t.first.errorCode, 0);
    if (std::string(c.what).rfind("adjacent", 0) == 0) {
      // A stretch of no cells keeps the stretch of type 2 from being joined to the one before.
      const std::vector<std::string>& lines = t.texts.routeLines;
      EXPECT_NE(std::find(lines.begin(), lines.end(), "montagna,      0,  -1000,     0"), lines.end());
    }
    EXPECT_TRUE(t.texts.differences.empty()) << Describe(t.texts.differences);
    EXPECT_TRUE(t.differences.empty()) << Describe(t.differences);
  }
}

// Files that no text gives: the closest texts, and every cell and row that differs.
TEST(Decompile, ListsWhatNoTextCanRebuild) {
  CompiledTexts c = CompileTexts(BuiltInRouteText(), BuiltInTrainText(), kName, kTrain, true);
  ScenarioBinaries edited = c.files;
  edited.track[15 * 500 + 9] = 7;          // value5 of cell 500, which holds nothing
  edited.settings[34 * 0 + 1] = 1;         // extentStart of row 0, always cleared
  std::string& line = *edited.lineData;
  line.resize(line.size() - 2);            // the last point's y: an integer 7, not empty
  line += std::string("\x02\x00\x07\x00", 4);
  Decompiled d;
  std::string err;
  ASSERT_TRUE(Decompile(edited, kName, kTrain, &d, &err)) << err;
  std::string all;
  for (const FileDifference& f : d.differences) all += f.what + "\n";
  EXPECT_NE(all.find("cell 500 (25000 m): value5 is 7 in the file, 0 from the texts"), std::string::npos) << all;
  EXPECT_NE(all.find("row 0: extentStart is 1 in the file, 0 from the texts"), std::string::npos) << all;
  EXPECT_NE(all.find("point 383000"), std::string::npos) << all;
}

TEST(Decompile, RefusesFilesThatCannotBeDecoded) {
  Decompiled d;
  std::string err;
  EXPECT_FALSE(Decompile(ScenarioBinaries{std::string(14, '\0'), "", std::nullopt}, kName, kTrain, &d, &err));
  EXPECT_NE(err.find("15-byte"), std::string::npos) << err;
}

// Property: random texts compile, decompile and compile again to the same bytes. The
// number of texts comes from SB_DECOMPILE_TRIALS (default 40), the first seed from
// SB_DECOMPILE_SEED (default 1); texts whose first compile records a fault are outside
// the rules and set aside.
TEST(DecompileProperty, RandomTextsRoundTrip) {
  const char* trials_env = std::getenv("SB_DECOMPILE_TRIALS");
  const char* seed_env = std::getenv("SB_DECOMPILE_SEED");
  const uint32_t trials = trials_env ? static_cast<uint32_t>(std::strtoul(trials_env, nullptr, 10)) : 40;
  const uint32_t first_seed = seed_env ? static_cast<uint32_t>(std::strtoul(seed_env, nullptr, 10)) : 1;
  uint32_t tried = 0, set_aside = 0, round_trip = 0, aside_round_trip = 0;
  std::map<int, size_t> items;  // cells of each type in the texts that were decompiled
  for (uint32_t seed = first_seed; seed < first_seed + trials; ++seed) {
    const testing::RandomTexts r = testing::RandomScenarioTexts(seed);
    ++tried;
    CompiledTexts first = CompileTexts(r.route, r.train, kName, kTrain, true);
    if (!first.failure.empty() || first.errorCode != 0) {
      ++set_aside;
      // Their files are written all the same: how many of those come back, for the record.
      Decompiled d;
      std::string err;
      if (first.failure.empty() && Decompile(first.files, kName, kTrain, &d, &err) && d.differences.empty())
        ++aside_round_trip;
      continue;
    }
    std::vector<TrackCell> cells;
    std::string err;
    ASSERT_TRUE(DecodeTrack(first.files.track, &cells, &err));
    for (const TrackCell& c : cells) ++items[c.cellType];
    Decompiled d;
    ASSERT_TRUE(Decompile(first.files, kName, kTrain, &d, &err)) << err;
    CompiledTexts second = CompileTexts(TextBytes(d.routeLines), TextBytes(d.trainLines), kName, kTrain, true);
    const std::vector<FileDifference> diff = CompareBinaries(first.files, second.files);
    EXPECT_EQ(diff.size(), d.differences.size()) << "seed " << seed;
    // As the texts compiled without a fault, so do the decompiled ones.
    EXPECT_EQ(second.errorCode, 0) << "seed " << seed;
    if (diff.empty() && second.errorCode == 0) {
      ++round_trip;
    } else {
      ADD_FAILURE() << "seed " << seed << " does not round-trip:\n" << Describe(diff);
      if (const char* dump = std::getenv("SB_DECOMPILE_DUMP")) {
        // The texts of the seed and the decompiled ones, to look at.
        const std::string base = std::string(dump) + "/" + std::to_string(seed);
        for (const auto& [name, text] :
             {std::pair{"-route.txt", r.route}, std::pair{"-train.txt", r.train},
              std::pair{"-route-decompiled.txt", TextBytes(d.routeLines)},
              std::pair{"-train-decompiled.txt", TextBytes(d.trainLines)}})
          if (FILE* f = std::fopen((base + name).c_str(), "wb")) {
            std::fwrite(text.data(), 1, text.size(), f);
            std::fclose(f);
          }
      }
    }
  }
  std::cout << "[ decompile ] " << tried << " texts tried, " << set_aside
            << " set aside (their compile records a fault), " << round_trip << " of " << tried - set_aside
            << " round-trip\n[ decompile ] the files of " << aside_round_trip << " of the " << set_aside
            << " set aside round-trip all the same\n[ decompile ] cells by type:";
  for (const auto& [type, n] : items)
    if (type != kCellEmpty) std::cout << ' ' << type << ": " << n;
  std::cout << std::endl;
  EXPECT_EQ(round_trip, tried - set_aside);
}

}  // namespace
}  // namespace sb
