#include "driver/run.h"

#include <memory>

#include "compiler/compile.h"
#include "driver/file_names.h"
#include "driver/file_system.h"
#include "driver/text_encoding.h"
#include "model/run_errors.h"
#include "scenario/scenario_texts.h"

namespace sb {

std::string FolderBusyMessage(const std::string& folder, std::chrono::seconds waited) {
  return "another run of scenario-builder has been using the folder " + PathToUtf8(folder) +
         " for " + std::to_string(waited.count()) + " s without ending; this run changed no file";
}

int Form_Load(Form1& form, Platform& platform) {
  form.ScenarioName = "Torbena-Sarvico-Zeva";
  form.TrainNumber = "47302";
  platform.ShowWaitWindow();
  // One run at a time in a folder: a second one (a double click too many, a script) waits
  // until the first has ended, so that neither deletes the texts the other is reading.
  const std::string folder = ScenarioFolder(form);
  std::unique_ptr<FolderLock> lock = form.fs->LockFolder(folder, kRunLockWait);
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
    memorizza_percorso(form, j);
  } catch (const ErroreStop& e) {
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
