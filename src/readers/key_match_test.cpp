// Key recognition by contained words, and the nearest key for a line that matches none.
#include "readers/key_match.h"

#include <gtest/gtest.h>

#include <ctime>
#include <string>

#include "compiler/compile.h"
#include "test_support.h"

namespace sb {
namespace {

using testing::MemoryScenario;
using testing::Route;
using testing::Train;

TEST(KeyMatch, ContainedWords) {
  const struct {
    std::string key;
    const char* word;
    bool no_case, exact;
  } cases[] = {
      {"lunghezza percorso", "percorso", true, true},
      {"LUNGHEZZA PERCORSO", "percorso", true, false},
      {"Progressiva chilometrica tre", "progressiva", true, false},
      {"curvaS3", "s", true, false},
      {"pend", "pendenza", false, false},   // a word longer than the key
      {"x pendenza", "pendenza", true, true},  // anywhere in the key
      {"pendenz", "pendenza", false, false},
      {"velocit\xC0", "velocit\xE0", false, false},  // only A to Z have a case here
      {"abc", "", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key + " / " + c.word);
    EXPECT_EQ(ContainsNoCase(c.key, c.word), c.no_case);
    EXPECT_EQ(Contains(c.key, c.word), c.exact);
  }
}

TEST(KeyMatch, EditDistanceUpToItsCap) {
  const struct {
    const char* a;
    const char* b;
    size_t cap, distance;
  } cases[] = {
      {"pendnza", "pendenza", 4, 1},
      {"kitten", "sitting", 5, 3},
      {"MONTAGNA", "montagna", 2, 0},      // letter case ignored
      {"", "sabbia", 8, 6},
      {"kitten", "sitting", 2, 3},         // beyond the cap: cap + 1
      {"a", "abcdefgh", 3, 4},             // lengths too far apart
      {"abcdefgh", "hgfedcba", 1, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.a) + " / " + c.b);
    EXPECT_EQ(EditDistance(c.a, c.b, c.cap), c.distance);
    EXPECT_EQ(EditDistance(c.b, c.a, c.cap), c.distance);
  }
}

TEST(KeyMatch, NearestKeyOnlyWhenNear) {
  const char* const keys[] = {"sabbia", "orologio", "stazione", "segnale", "percentuale massa frenata"};
  const struct {
    const char* field;
    const char* nearest;  // nullptr: none
  } cases[] = {
      {"sabia", "sabbia"},
      {"sabbiaxx", "sabbia"},   // 2 edits: the least margin of any key
      {"sabbiaxxx", nullptr},   // 3 edits: beyond the 6 / 3 of "sabbia"
      {"SEGNALI", "segnale"},
      {"stazone", "stazione"},
      {"percentuale masa frenat", "percentuale massa frenata"},  // 25 / 3 = 8 edits allowed
      {"xyz", nullptr},
      {"", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.field);
    const char* nearest = NearestKey(c.field, keys);
    if (c.nearest) {
      ASSERT_NE(nearest, nullptr);
      EXPECT_STREQ(nearest, c.nearest);
    } else {
      EXPECT_EQ(nearest, nullptr) << nearest;
    }
  }
  const char* const twins[] = {"abcd", "abce"};
  EXPECT_STREQ(NearestKey("abcf", twins), "abcd");  // equally near: the first
  EXPECT_EQ(NearestKey("sabbia", {}), nullptr);
}

// An unknown key is reported with the nearest key only when it is near; a key of
// megabytes is reported without a search through every key letter by letter.
TEST(KeyMatch, UnknownKeysOfAnyLength) {
  constexpr size_t kMiB = 1 << 20;
  struct Case {
    std::string key;
    const char* suggestion;  // nullptr: none
  } cases[] = {
      {"pendenzza", "pendenza"},
      {"MONTAGNE", "montagna"},
      {"zzzzzzzz", nullptr},
      {std::string(40, 'p'), nullptr},
      {std::string(16 * kMiB, 'x'), nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.key.substr(0, 40));
    MemoryScenario s;
    s.Put(ScenarioFile::kRouteSource, Route(20000) + c.key + "\r\n[fine]\r\n");
    s.Put(ScenarioFile::kTrainSource, Train());
    int32_t j = 0;
    const std::clock_t start = std::clock();
    memorizza_percorso(s.form, j, BinaryFiles::kNone);
    EXPECT_LT(static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC, 5.0);
    ASSERT_EQ(s.form.run.diag.warnings.size(), 1u);
    const std::string& w = s.form.run.diag.warnings[0].message;
    if (c.suggestion)
      EXPECT_NE(w.find(std::string("did you mean '") + c.suggestion + "'"), std::string::npos) << w;
    else
      EXPECT_EQ(w.find("did you mean"), std::string::npos) << w.substr(0, 200);
  }
}

}  // namespace
}  // namespace sb
