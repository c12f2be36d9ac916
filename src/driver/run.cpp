#include "driver/run.h"

#include <memory>
#include <vector>

#include "authoring/diagnostic_format.h"
#include "compiler/compile.h"
#include "io/file_names.h"
#include "io/file_system.h"
#include "io/text_encoding.h"
#include "model/run_errors.h"
#include "scenario/scenario_texts.h"

namespace sb {
namespace {

// The built-in texts compile without a fault; one recorded all the same means that another
// program changed or removed a text between its writing and its reading. Named here: the
// first fault, where it is, and how many followed.
std::string FaultMessage(const Form1& form) {
  SourceTexts texts;  // the paths only: the texts themselves are gone
  texts.route_path = ScenarioFilePath(form, ScenarioFile::kRouteSource);
  texts.train_path = ScenarioFilePath(form, ScenarioFile::kTrainSource);
  std::vector<Diagnostic> faults = FaultDiagnostics(form, texts);
  std::string m = "Cannot compile the built-in scenario: ";
  if (faults.empty()) {
    m += "fault " + std::to_string(form.ErrorCode);
  } else {
    const Diagnostic& d = faults[0];
    if (!d.where.file.empty()) m += d.where.file + ": ";
    if (d.where.line) m += "line " + std::to_string(*d.where.line) + ": ";
    m += "fault " + std::to_string(d.code.value_or(form.ErrorCode)) + ": " + d.message;
    if (faults.size() > 1)
      m += " (and " + std::to_string(faults.size() - 1) + " more fault" +
           (faults.size() > 2 ? "s" : "") + ")";
  }
  return m + ". No binary file was written.";
}

}  // namespace

int Form_Load(Form1& form, Platform& platform) {
  form.ScenarioName = "Torbena-Sarvico-Zeva";
  form.TrainNumber = "47302";
  platform.ShowWaitWindow();
  // One run at a time in a folder: a second one (a double click too many, a script) waits
  // until the first has ended, so that neither deletes the texts the other is reading.
  const std::string folder = ScenarioFolder(form);
  std::unique_ptr<FolderLock> lock = form.run.fs->LockFolder(folder, kRunLockWait);
  if (!lock) {
    platform.ShowMessage("Cannot write the scenario: " + FolderBusyMessage(folder, kRunLockWait) +
                         ".");
    return 2;
  }
  int status = 0;
  std::string message;
  try {
    dati_linea(form);
    dati_treno(form);
    dati_note(form);
    dati_rallentamenti(form);
    dati_scheda(form);
    int32_t j = 1;
    memorizza_percorso(form, j, BinaryFiles::kWriteIfNoFault);
    if (FaultRecorded(form)) {
      message = FaultMessage(form);
      status = 2;
    }
  } catch (const StampPlaceTaken& e) {
    message = e.what();
    status = 1;
  } catch (const RunFailure& e) {
    message = "Run-time error: cannot write " + e.file() + ": " + e.description();
    status = 2;
  } catch (const CompileStop& e) {
    message = std::string("Run-time error: ") + e.what();
    status = 2;
  }
  // The folder is free again while the message waits for the user.
  lock.reset();
  if (status != 0) platform.ShowMessage(message);
  return status;
}

}  // namespace sb
