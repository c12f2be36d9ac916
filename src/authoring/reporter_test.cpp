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
                std::string source_line = "") {
  Diagnostic d;
  d.severity = severity;
  d.code = 16;
  d.file = std::move(file);
  d.line = line;
  d.message = "the message";
  d.source_line = std::move(source_line);
  return d;
}

TEST(Reporter, DiagnosticsInTheFormEditorsRead) {
  const std::pair<Diagnostic, std::string> cases[] = {
      {Make(Severity::kError, "a/L_1-.txt", 7, "segnale, 2000"),
       "a/L_1-.txt:7: error 16: the message\n    segnale, 2000\n"},
      {Make(Severity::kError, "a/L_1-.txt", std::nullopt),  // a fault of the cell pass
       "a/L_1-.txt: error 16: the message\n"},
      {Make(Severity::kWarning, "a/L_linea.txt", 4, "pendnza, 1000, 2"),
       "a/L_linea.txt:4: warning: the message\n    pendnza, 1000, 2\n"},
      {Make(Severity::kNote, "a/L_linea.txt", std::nullopt), "a/L_linea.txt: note: the message\n"},
      {Make(Severity::kFatal, "", std::nullopt), "scenario-builder: fatal: the message\n"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Reported("compile", [&](Reporter& r) { r.Report(c.first); }), c.second);
  EXPECT_EQ(Reported("compile", [](Reporter& r) { r.Summary("0 faults, 0 warnings"); }),
            "scenario-builder: 0 faults, 0 warnings\n");
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
