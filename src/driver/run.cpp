#include "driver/run.h"

#include "compiler/compile.h"
#include "model/run_errors.h"
#include "scenario/scenario_texts.h"

namespace sb {

int Form_Load(Form1& form, Platform& platform) {
  form.ScenarioName = "Torbena-Sarvico-Zeva";
  form.TrainNumber = "47302";
  platform.ShowWaitWindow();
  try {
    dati_linea(form);
    dati_treno(form);
    dati_note(form);
    dati_rallentamenti(form);
    dati_scheda(form);
    int32_t j = 1;
    memorizza_percorso(form, j);
  } catch (const ErroreStop& e) {
    platform.ShowMessage(e.what());
    return 1;
  } catch (const RunFailure& e) {
    platform.ShowMessage("Run-time error: cannot write " + e.file() + ": " + e.description());
    return 2;
  } catch (const CompileStop& e) {
    platform.ShowMessage(std::string("Run-time error: ") + e.what());
    return 2;
  }
  return 0;
}

}  // namespace sb
