#include "authoring/sources_command.h"

#include <utility>

#include "authoring/command_line.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/form1.h"
#include "model/run_errors.h"
#include "scenario/scenario_texts.h"

namespace sb {

const char kSourcesHelp[] =
    "usage: scenario-builder sources [DIR] [--scenario NAME] [--train NUMBER] [--force]\n"
    "\n"
    "Writes the five texts of the built-in scenario Torbena-Sarvico-Zeva (train 47302)\n"
    "into DIR (default: the working directory; made when missing): the route text, the\n"
    "train text, the notes, the slowdown order form and the train card. Nothing is\n"
    "compiled or deleted. With --scenario and --train the route and train texts are\n"
    "named NAME_linea.txt and NAME_NUMBER-.txt, so that 'compile DIR --scenario NAME\n"
    "--train NUMBER' reads them; the other three keep the built-in names.\n"
    "\n"
    "  --scenario NAME  name of the route and train texts (default: Torbena-Sarvico-Zeva)\n"
    "  --train NUMBER   train number in the train text's name (default: 47302)\n"
    "  --force          replace texts that already exist (without it, an existing text\n"
    "                   is an error and nothing is written)\n";

int SourcesCommand(const std::vector<std::string>& args, CommandIo& io, Reporter& report) {
  ParsedArgs a;
  std::string err;
  if (!ParseArgs(args, {{"--force", false}, {"--scenario", true}, {"--train", true}}, 1, &a, &err))
    return report.WrongUsage(err);
  const std::string name = a.Value("--scenario", kBuiltInScenario);
  const std::string train = a.Value("--train", kBuiltInTrain);
  if (!CheckScenarioNames(name, train, &err)) return report.WrongUsage(err);

  Form1 form;
  form.run.fs = io.fs;
  form.run.folder = BaseDirectory(a.positional.empty() ? "." : a.positional[0], io.separator);
  form.run.separator = io.separator;
  form.ScenarioName = kBuiltInScenario;
  form.TrainNumber = kBuiltInTrain;

  // The route and train texts under the names asked for, the documents under the built-in
  // ones: a Form1 for each naming.
  Form1 named;
  named.run.fs = io.fs;
  named.run.folder = form.run.folder;
  named.run.separator = io.separator;
  named.ScenarioName = name;
  named.TrainNumber = train;
  const std::pair<Form1*, ScenarioFile> kTexts[] = {
      {&named, ScenarioFile::kRouteSource}, {&named, ScenarioFile::kTrainSource},
      {&form, ScenarioFile::kNotes}, {&form, ScenarioFile::kSlowdownOrder},
      {&form, ScenarioFile::kTrainCard}};
  if (!a.Has("--force")) {
    bool taken = false;
    for (const auto& [owner, f] : kTexts) {
      std::string path = ScenarioFilePath(*owner, f);
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
    dati_linea(named);
    *io.out << PathToUtf8(ScenarioFilePath(named, ScenarioFile::kRouteSource)) << "\n";
    dati_treno(named);
    *io.out << PathToUtf8(ScenarioFilePath(named, ScenarioFile::kTrainSource)) << "\n";
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
