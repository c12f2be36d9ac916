// What the reader tells an author: the field each fault and warning is about, the line that
// already holds a cell, what a fault left unread, the lines it does not read at all.
#include "readers/source_reader.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "test_support.h"

namespace sb {
namespace {

using testing::Crlf;
using testing::MemoryScenario;
using testing::ReadSources;
using testing::RouteLines;
using testing::TrainLines;

// "FILE LINE:COLUMN-END message", file "route" or "train", for a place of the texts.
std::string Place(const SourceRef& r) {
  if (r.file == SourceFile::kNone) return "-";
  return std::string(r.file == SourceFile::kRoute ? "route " : "train ") + std::to_string(r.line) + ":" +
         std::to_string(r.column) + "-" + std::to_string(r.endColumn);
}

struct Told {
  std::string where;               // Place() of the fault or warning
  std::string message;             // its start
  std::vector<std::string> notes;  // "PLACE message" of each note
};

std::vector<std::string> Notes(const std::vector<DiagnosticNote>& notes) {
  std::vector<std::string> out;
  for (const DiagnosticNote& n : notes) out.push_back(Place(n.where) + " " + n.message);
  return out;
}

void ExpectTold(const std::string& where, const std::string& message, const std::vector<DiagnosticNote>& notes,
                const Told& want) {
  EXPECT_EQ(where, want.where);
  EXPECT_EQ(message.substr(0, want.message.size()), want.message);
  EXPECT_EQ(Notes(notes), want.notes);
}

const char kSignal2000[] = "segnale, 2000, 2, 4, 1, 1, 0, 2, 2, 1, 1, 0";

TEST(SourceReader, FaultsAndWarningsTellWhereAndWhatWasLeft) {
  const struct {
    const char* what;
    std::string route, train;
    std::optional<Told> fault;  // the last fault
    std::vector<Told> warnings;
  } cases[] = {
      {"a taken cell points at the line that holds it; the rest is counted",
       RouteLines(10000, {}),
       TrainLines({"velocita, 0, 50", kSignal2000, kSignal2000, "stazione, 5000, 12, 600, 0,0,0, 1,1,0, 4,1,1, 0, 0,0,0, A",
                   "rallentamento, 8000, 60, 500, 0, 0, 0", "- a comment -", kSignal2000}),
       Told{"train 4:10-14", "the signal at 2000 m needs cell 41 (2000 m), which holds a signal",
            {"train 3:10-14 the signal already in cell 41 (2000 m) was placed here",
             "- reading stopped here; lines 5 to 8 were not read (1 station, 1 slowdown, 1 signal)"}},
       {}},
      {"a station position off the 50 m grid points at the position",
       RouteLines(10000, {}), TrainLines({"stazione, 2025, 8, 1000, 0,0,0, 1,1,0, 4,1,1, 0, 0,0,0, A"}),
       Told{"train 2:11-15", "the station position 2025 m is not a multiple of 50",
            {"- reading stopped here, at the last line of the train text"}},
       {}},
      {"a value that does not fit is the field at fault",
       RouteLines(10000, {}), TrainLines({"sabbia,   32768", "numero vetture, 3"}),
       Told{"train 2:11-16", "the value '32768' does not fit a 16-bit value",
            {"- reading stopped here; line 3 was not read (1 coach count)"}},
       {}},
      {"a route fault 15 stops the feature lines; the train text is still read",
       RouteLines(10000, {"pendenza, 99999, 1", "montagna, 3000, 3500, 12"}), TrainLines({}),
       Told{"route 11:11-16", "position 99999 m lies beyond the track",
            {"- reading stopped here; line 12 was not read (1 mountain stretch)",
             "- the train text is still read"}},
       {}},
      {"a route fault that ends the reading leaves the train text unread",
       Crlf({"[generale]", "lunghezza percorso, 10000", "ripetizione segnali 9 codici, 1500, 360010", "[fine]"}),
       TrainLines({}),
       Told{"route 3:37-43", "the second signal repetition value 360010 is not a multiple of 50",
            {"- reading stopped here, at the last line of the route text", "- the train text was not read"}},
       {}},
      {"a feature line in the general section: its head is missing",
       Crlf({"[generale]", "lunghezza percorso, 10000", "pendenza, 0, 1", "[fine]"}), TrainLines({}),
       std::nullopt,
       {Told{"route 3:1-9", "this gradient change line stands in the general section, where it is not read", {}}}},
      {"a line of the general section after it ended",
       RouteLines(10000, {"sfondo uno, 4"}), TrainLines({}), std::nullopt,
       {Told{"route 11:1-11", "this background setting line belongs to the general section, which ended at line 10",
             {}}}},
      {"a train text without [generale] reads nothing",
       RouteLines(10000, {}), Crlf({"velocita, 0, 50", "[fine]"}), std::nullopt,
       {Told{"train 1:1-9", "this speed limit change line stands before the line \"[generale]\"", {}},
        Told{"train 0:0-0", "the train text has no line \"[generale]\"", {}}}},
      {"UTF-8 bytes are named with what the simulator will show",
       RouteLines(10000, {"cartello_indicatore, 1000, CITT\xC3\x80"}), TrainLines({}), std::nullopt,
       {Told{"route 11:32-34",
             "the route text looks like UTF-8: '\xC3\x80' is written as the bytes C3 80, which the texts' "
             "code page, Windows-1252, reads as '\xC3\x83\xE2\x82\xAC'",
             {}}}},
      {"a byte-order mark",
       RouteLines(10000, {}), "\xEF\xBB\xBF" + TrainLines({}), std::nullopt,
       {Told{"train 1:1-4", "the train text starts with a UTF-8 byte-order mark", {}}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MemoryScenario s;
    s.Put(ScenarioFile::kRouteSource, c.route);
    s.Put(ScenarioFile::kTrainSource, c.train);
    ReadSources(s, 0);
    const Diagnostics& d = s.form.run.diag;
    if (c.fault) {
      ASSERT_FALSE(d.faults.empty());
      ExpectTold(Place(d.faults.back().where), d.faults.back().message, d.faults.back().notes, *c.fault);
    } else {
      EXPECT_TRUE(d.faults.empty()) << d.faults[0].message;
    }
    ASSERT_EQ(d.warnings.size(), c.warnings.size()) << (d.warnings.empty() ? "" : d.warnings[0].message);
    for (size_t k = 0; k < c.warnings.size(); ++k)
      ExpectTold(Place(d.warnings[k].where), d.warnings[k].message, d.warnings[k].notes, c.warnings[k]);
  }
}

TEST(SourceReader, FixesOfTyposAndMissingHeads) {
  MemoryScenario s;
  s.Put(ScenarioFile::kRouteSource,
        Crlf({"[generale]", "lunghezza percorso, 10000", "montagna, 3000, 3500, 12", "[fine]"}));
  s.Put(ScenarioFile::kTrainSource, TrainLines({"velocta, 0, 50"}));
  ReadSources(s, 0);
  const Diagnostics& d = s.form.run.diag;
  ASSERT_EQ(d.warnings.size(), 2u);
  ASSERT_TRUE(d.warnings[0].fix);
  EXPECT_EQ(Place(d.warnings[0].fix->where), "route 3:1-1");
  EXPECT_EQ(d.warnings[0].fix->text, "[montagne]\r\n");
  ASSERT_TRUE(d.warnings[1].fix);
  EXPECT_EQ(Place(d.warnings[1].fix->where), "train 2:1-8");
  EXPECT_EQ(d.warnings[1].fix->text, "velocita");
}

}  // namespace
}  // namespace sb
