// Notes that accompany the scenario.
#include "scenario/scenario_texts.h"
#include "scenario/text_file.h"

namespace sb {

std::vector<std::string> NotesLines() {
  return {
      "QUESTO SCENARIO NON CORRISPONDE ALLA REALTA'.",
      "LE STAZIONI SONO STATE PRESE DA UN VECCHIO ORARIO DEL 1918.",
      "ANCHE GLI ORARI E LE ALTRE COMPONENENTI DELLO SCENARIO NON SONO VERE QUINDI QUESTO "
      "SCENERIO E' DI PURA FANTASIA.",
      "SPERO CHE VI PIACCIA.",
      "",
      "",
      "AUTORI: GLI SVILUPPATORI DI SCENARIO-BUILDER",
      "",
      "",
      "",
      "CONTATTI: VEDERE IL FILE README.md DEL PROGETTO SCENARIO-BUILDER",
  };
}

void dati_note(Form1& form) { WriteTextFile(form, ScenarioFile::kNotes, LineTable(NotesLines())); }

}  // namespace sb
