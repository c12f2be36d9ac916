#include "io/file_names.h"

#include <gtest/gtest.h>

#include "model/form1.h"

namespace sb {
namespace {

TEST(FileNames, EveryFileOfTheScenario) {
  Form1 f;
  f.run.folder = "C:\\giochi";
  f.run.separator = '\\';
  f.ScenarioName = "Torbena-Sarvico-Zeva";
  f.TrainNumber = "47302";
  const std::pair<ScenarioFile, const char*> cases[] = {
      {ScenarioFile::kRouteSource, "C:\\giochi\\Torbena-Sarvico-Zeva_linea.txt"},
      {ScenarioFile::kTrainSource, "C:\\giochi\\Torbena-Sarvico-Zeva_47302-.txt"},
      {ScenarioFile::kNotes, "C:\\giochi\\Torbena-Sarvico-Zeva_47302_note.txt"},
      {ScenarioFile::kSlowdownOrder, "C:\\giochi\\Torbena-Sarvico-Zeva_47302_rallentamenti.txt"},
      {ScenarioFile::kTrainCard, "C:\\giochi\\Torbena-Sarvico-Zeva_47302_scheda_treno.txt"},
      {ScenarioFile::kLineData, "C:\\giochi\\Torbena-Sarvico-Zeva_linea.dat"},
      {ScenarioFile::kTrainSettings, "C:\\giochi\\Torbena-Sarvico-Zeva_47302.sim"},
      {ScenarioFile::kTrack, "C:\\giochi\\Torbena-Sarvico-Zeva_47302.dat"},
  };
  for (const auto& [file, name] : cases) EXPECT_EQ(ScenarioFilePath(f, file), name);
  EXPECT_EQ(ScenarioFolder(f), "C:\\giochi");
}

// The root is the empty base directory, to which the separator is added before each name.
TEST(FileNames, TheRootAsAFolder) {
  Form1 f;
  f.run.separator = '/';
  f.ScenarioName = "Torbena-Sarvico-Zeva";
  f.TrainNumber = "47302";
  EXPECT_EQ(ScenarioFilePath(f, ScenarioFile::kTrack), "/Torbena-Sarvico-Zeva_47302.dat");
  EXPECT_EQ(ScenarioFolder(f), "/");
}

TEST(FileNames, NamesThatCannotNameTheFilesOfACompile) {
  struct Case {
    std::string scenario, train;
    const char* why;  // nullptr: accepted
  };
  const std::string S = "Torbena-Sarvico-Zeva";
  const Case cases[] = {
      {S, "47302", nullptr},
      {"Linea-Prova", "123", nullptr},
      {"Citt\xC3\xA0 vecchia", "R 2.1", nullptr},  // letters of any script, blanks, dots
      {"", "", nullptr},
      {"CON", "AUX", nullptr},       // CON_linea.txt: no device before the first '.'
      {"CONSOLE.x", "1", nullptr},   // a longer word is no device
      {"COM10.x", "1", nullptr},
      {S, "linea-", nullptr},
      {"a/b", "1", "the scenario name 'a/b' contains '/', a path separator"},
      {S, "..\\1", "the train number '..\\1' contains '\\', a path separator"},
      {"a:b", "1", "the scenario name 'a:b' contains ':', which Windows does not allow in a file name"},
      {S, "<1>", "the train number '<1>' contains '<', which Windows does not allow in a file name"},
      {S, "1?", "the train number '1?' contains '?', which Windows does not allow in a file name"},
      {"a*", "1", "the scenario name 'a*' contains '*', which Windows does not allow in a file name"},
      {"\"a\"", "1", "the scenario name '\"a\"' contains '\"', which Windows does not allow in a file name"},
      {"a|b", "1", "the scenario name 'a|b' contains '|', which Windows does not allow in a file name"},
      {"a>b", "1", "the scenario name 'a>b' contains '>', which Windows does not allow in a file name"},
      {S, "1\t2", "the train number '1\\x092' contains the control character 0x09, which Windows "
                  "does not allow in a file name"},
      {std::string("a\0b", 3), "1", "the scenario name 'a\\x00b' contains the control character 0x00, "
                                    "which Windows does not allow in a file name"},
      {"CON.x", "1", "the scenario name 'CON.x' makes the route text name CON.x_linea.txt, which "
                     "Windows takes for the device CON"},
      {"nul.", "1", "the scenario name 'nul.' makes the route text name nul._linea.txt, which "
                    "Windows takes for the device nul"},
      {"Aux .a", "1", "the scenario name 'Aux .a' makes the route text name Aux .a_linea.txt, which "
                      "Windows takes for the device Aux"},
      {"prn.1", "1", "the scenario name 'prn.1' makes the route text name prn.1_linea.txt, which "
                     "Windows takes for the device prn"},
      {"COM1.z", "1", "the scenario name 'COM1.z' makes the route text name COM1.z_linea.txt, which "
                      "Windows takes for the device COM1"},
      {"lpt9.z", "1", "the scenario name 'lpt9.z' makes the route text name lpt9.z_linea.txt, which "
                      "Windows takes for the device lpt9"},
      {"LPT\xC2\xB2.z", "1", "the scenario name 'LPT\xC2\xB2.z' makes the route text name "
                             "LPT\xC2\xB2.z_linea.txt, which Windows takes for the device LPT\xC2\xB2"},
      {S, "linea", "the train number 'linea' makes the track file name Torbena-Sarvico-Zeva_linea.dat "
                   "equal to the line data file's"},
      {"x", "LINEA", "the train number 'LINEA' makes the track file name x_LINEA.dat equal to the "
                     "line data file's x_linea.dat when letter case is ignored, as Windows compares names"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scenario + " / " + c.train);
    std::string why;
    EXPECT_EQ(CheckScenarioNames(c.scenario, c.train, &why), c.why == nullptr);
    if (c.why) {
      EXPECT_EQ(why, c.why);
    }
  }
}

}  // namespace
}  // namespace sb
