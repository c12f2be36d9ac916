#include "authoring/reporter.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

namespace sb {
namespace {

std::string Reported(const std::string& command, const std::function<void(Reporter&)>& say) {
  std::ostringstream err;
  Reporter report(err, command);
  say(report);
  return err.str();
}

Diagnostic Make(Severity severity, std::string file, std::optional<int32_t> line,
                std::string source_line = "", int32_t column = 0, int32_t end_column = 0) {
  Diagnostic d;
  d.severity = severity;
  d.code = 16;
  d.where.file = std::move(file);
  d.where.line = line;
  d.where.column = column;
  d.where.end_column = end_column;
  if (!source_line.empty()) d.where.source = QuotedSource{source_line, 1, source_line.size()};
  d.message = "the message";
  return d;
}

TEST(Reporter, DiagnosticsInTheFormOfACompiler) {
  const std::pair<Diagnostic, std::string> cases[] = {
      {Make(Severity::kError, "a/L_1-.txt", 7, "segnale, 2000", 10, 14),
       "a/L_1-.txt:7:10: error: the message [fault 16]\n"
       " 7 | segnale, 2000\n"
       "   |          ^~~~\n"},
      {Make(Severity::kError, "a/L_1-.txt", std::nullopt),  // about the whole text
       "a/L_1-.txt: error: the message [fault 16]\n"},
      {Make(Severity::kWarning, "a/L_linea.txt", 4, "pendnza, 1000, 2", 1, 8),
       "a/L_linea.txt:4:1: warning: the message\n"
       " 4 | pendnza, 1000, 2\n"
       "   | ^~~~~~~\n"},
      {Make(Severity::kNote, "a/L_linea.txt", std::nullopt), "a/L_linea.txt: note: the message\n"},
      {Make(Severity::kFatal, "", std::nullopt), "scenario-builder: fatal error: the message\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Reported("compile", [&](Reporter& r) { r.Report(c.first); }), c.second);
  EXPECT_EQ(Reported("compile", [](Reporter& r) { r.Summary("0 faults, 0 warnings"); }),
            "scenario-builder: 0 faults, 0 warnings\n");
}

// Notes at their own place share the gutter of the widest line number; a remark has none;
// help comes last.
TEST(Reporter, NotesAndHelpFollowTheirDiagnostic) {
  Diagnostic d = Make(Severity::kError, "a/L_1-.txt", 12, "segnale, 2010", 10, 14);
  DiagnosticNoteLine at;
  at.where.file = "a/L_1-.txt";
  at.where.line = 9;
  at.where.column = 10;
  at.where.end_column = 14;
  at.where.source = QuotedSource{"segnale, 2000", 1, 13};
  at.message = "the signal already in cell 41 (2000 m) was placed here";
  d.notes.push_back(at);
  d.notes.push_back({{}, "reading stopped here; line 13 was not read (1 signal)"});
  d.help = "move one of the two by 50 m or more";
  EXPECT_EQ(Reported("compile", [&](Reporter& r) { r.Report(d); }),
            "a/L_1-.txt:12:10: error: the message [fault 16]\n"
            " 12 | segnale, 2010\n"
            "    |          ^~~~\n"
            "a/L_1-.txt:9:10: note: the signal already in cell 41 (2000 m) was placed here\n"
            "  9 | segnale, 2000\n"
            "    |          ^~~~\n"
            "note: reading stopped here; line 13 was not read (1 signal)\n"
            "help: move one of the two by 50 m or more\n");
}

// Control characters of a text or a message never reach the terminal as they are; the
// marker stays under its field when they are widened; a long line is cut around the field.
TEST(Reporter, ControlCharactersAreShownEscaped) {
  Diagnostic d = Make(Severity::kWarning, "a/\x1B[31mL_linea.txt", 2, "a\x1B\tb, 12O", 7, 10);
  d.message = "reads '12O\x07' as 12 \xC2\x9B";
  EXPECT_EQ(Reported("compile", [&](Reporter& r) { r.Report(d); }),
            "a/\\x1B[31mL_linea.txt:2:7: warning: reads '12O\\x07' as 12 \\x9B\n"
            " 2 | a\\x1B b, 12O\n"
            "   |          ^~~\n");
  const ShownSource cut = ShowSource(QuotedSource{"xx12Oyy", 41, 500}, 43, 46);
  EXPECT_EQ(cut.line, "...xx12Oyy...");
  EXPECT_EQ(cut.marker, "     ^~~");
  EXPECT_EQ(ShowSource(QuotedSource{"\xE8x", 1, 2}, 2, 3).line, "\xC3\xA8x");
  EXPECT_EQ(ShowSource(QuotedSource{"\xE8x", 1, 2}, 2, 3).marker, " ^");
}

// With colour, the parts are wrapped in ANSI escapes and the words are the same.
TEST(Reporter, ColourOnlyWhenAsked) {
  std::ostringstream err;
  Reporter report(err, "compile", true);
  report.Report(Make(Severity::kError, "a/L_1-.txt", 7, "segnale, 2000", 10, 14));
  const std::string coloured = err.str();
  EXPECT_NE(coloured.find("\x1B[1;31merror:\x1B[0m"), std::string::npos) << coloured;
  std::string plain;
  for (size_t i = 0; i < coloured.size(); ++i) {
    if (coloured[i] == '\x1B') {
      i = coloured.find('m', i);
      continue;
    }
    plain += coloured[i];
  }
  EXPECT_EQ(plain, Reported("compile", [](Reporter& r) {
              r.Report(Make(Severity::kError, "a/L_1-.txt", 7, "segnale, 2000", 10, 14));
            }));
}

TEST(Reporter, TroubleOfTheCommandIsLedByItsName) {
  int status = -1;
  EXPECT_EQ(Reported("inspect", [&](Reporter& r) { status = r.Fail("cannot read x.dat: gone"); }),
            "scenario-builder inspect: cannot read x.dat: gone\n");
  EXPECT_EQ(status, 2);
  EXPECT_EQ(Reported("plot", [&](Reporter& r) { status = r.WrongUsage("--out is required"); }),
            "scenario-builder plot: --out is required\n"
            "try 'scenario-builder plot --help'\n");
  EXPECT_EQ(status, 2);
  EXPECT_EQ(Reported("", [](Reporter& r) { r.WrongUsage("unknown command 'x'"); }),
            "scenario-builder: unknown command 'x'\ntry 'scenario-builder --help'\n");
}

// An argument or a Windows path in the ANSI code page reaches standard error as UTF-8.
TEST(Reporter, WritesUtf8Only) {
  EXPECT_EQ(Reported("compile", [](Reporter& r) { r.WrongUsage("unknown option '--citt\xE0'"); }),
            "scenario-builder compile: unknown option '--citt\xC3\xA0'\n"
            "try 'scenario-builder compile --help'\n");
  EXPECT_EQ(Reported("sources", [](Reporter& r) { r.Fail("Citt\xC3\xA0 already exists"); }),
            "scenario-builder sources: Citt\xC3\xA0 already exists\n");
}

}  // namespace
}  // namespace sb
