#include "driver/file_names.h"

#include "model/form1.h"

namespace sb {

std::string NomeFile(const std::string& s, const std::string& t, ScenarioFile file) {
  switch (file) {
    case ScenarioFile::kRouteSource: return s + "_linea.txt";
    case ScenarioFile::kTrainSource: return s + "_" + t + "-.txt";
    case ScenarioFile::kNotes: return s + "_" + t + "_" + "note.txt";
    case ScenarioFile::kSlowdownOrder: return s + "_" + t + "_" + "rallentamenti.txt";
    case ScenarioFile::kTrainCard: return s + "_" + t + "_" + "scheda_treno.txt";
    case ScenarioFile::kLineData: return s + "_linea.dat";
    case ScenarioFile::kTrainSettings: return s + "_" + t + ".sim";
    case ScenarioFile::kTrack: return s + "_" + t + ".dat";
  }
  return s;
}

std::string PercorsoFile(const Form1& form, ScenarioFile file) {
  return form.BaseDirectory + form.Separator + NomeFile(form.ScenarioName, form.TrainNumber, file);
}

std::string ScenarioFolder(const Form1& form) {
  return form.BaseDirectory.empty() ? std::string(1, form.Separator) : form.BaseDirectory;
}

}  // namespace sb
