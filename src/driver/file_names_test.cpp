#include "driver/file_names.h"

#include <gtest/gtest.h>

#include "model/form1.h"

namespace sb {
namespace {

TEST(FileNames, EveryFileOfTheScenario) {
  Form1 f;
  f.BaseDirectory = "C:\\giochi";
  f.Separator = '\\';
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
  for (const auto& [file, name] : cases) EXPECT_EQ(PercorsoFile(f, file), name);
  EXPECT_EQ(ScenarioFolder(f), "C:\\giochi");
}

// The root is the empty base directory, to which the separator is added before each name.
TEST(FileNames, TheRootAsAFolder) {
  Form1 f;
  f.Separator = '/';
  f.ScenarioName = "Torbena-Sarvico-Zeva";
  f.TrainNumber = "47302";
  EXPECT_EQ(PercorsoFile(f, ScenarioFile::kTrack), "/Torbena-Sarvico-Zeva_47302.dat");
  EXPECT_EQ(ScenarioFolder(f), "/");
}

}  // namespace
}  // namespace sb
