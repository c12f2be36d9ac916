#include "authoring/sources_command.h"

#include "authoring/command_line.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/form1.h"
#include "model/run_errors.h"
#include "scenario/scenario_texts.h"

namespace sb {

const char kSourcesHelp[] =
    "usage: scenario-builder sources [DIR] [--force]\n"
    "\n"
    "Writes the five texts of the built-in scenario Torbena-Sarvico-Zeva (train 47302)\n"
    "into DIR (default: the working directory): the route text, the train text, the\n"
    "notes, the slowdown order form and the train card. Nothing is compiled or deleted.\n"
    "\n"
    "  --force  replace texts that already exist (without it, an existing text is an\n"
    "           error and nothing is written)\n";

int SourcesCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  ParsedArgs a;
  std::string err;
  if (!ParseArgs(args, {{"--force", false}}, 1, &a, &err)) return report.WrongUsage(err);

  Form1 form;
  form.run.fs = io.fs;
  form.run.folder = BaseDirectory(a.positional.empty() ? "." : a.positional[0], io.separator);
  form.run.separator = io.separator;
  form.ScenarioName = kBuiltInScenario;
  form.TrainNumber = kBuiltInTrain;

  const ScenarioFile kTexts[] = {ScenarioFile::kRouteSource, ScenarioFile::kTrainSource,
                                 ScenarioFile::kNotes, ScenarioFile::kSlowdownOrder,
                                 ScenarioFile::kTrainCard};
  if (!a.Has("--force")) {
    bool taken = false;
    for (ScenarioFile f : kTexts) {
      std::string path = ScenarioFilePath(form, f);
      if (io.fs->Exists(path)) {
        report.Fail(PathToUtf8(path) + " already exists; not replaced (--force replaces it)");
        taken = true;
      }
    }
    if (taken) return kExitFailed;
  }
  // A new folder for the scenario, as an author names it.
  if (!io.fs->MakeFolders(form.run.folder, &err))
    return report.Fail("cannot make the folder " + PathToUtf8(err));
  try {
    dati_linea(form);
    *io.out << PathToUtf8(ScenarioFilePath(form, ScenarioFile::kRouteSource)) << "\n";
    dati_treno(form);
    *io.out << PathToUtf8(ScenarioFilePath(form, ScenarioFile::kTrainSource)) << "\n";
    dati_note(form);
    *io.out << PathToUtf8(ScenarioFilePath(form, ScenarioFile::kNotes)) << "\n";
    dati_rallentamenti(form);
    *io.out << PathToUtf8(ScenarioFilePath(form, ScenarioFile::kSlowdownOrder)) << "\n";
    dati_scheda(form);
    *io.out << PathToUtf8(ScenarioFilePath(form, ScenarioFile::kTrainCard)) << "\n";
  } catch (const RunFailure& e) {
    return report.Fail("cannot write " + PathToUtf8(e.file()) + ": " +
                       PathToUtf8(e.description()));
  }
  return kExitOk;
}

}  // namespace sb
