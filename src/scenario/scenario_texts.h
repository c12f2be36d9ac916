// The five texts of the built-in scenario and their writers.
#pragma once

#include <string>
#include <vector>

namespace sb {

struct Form1;

// Names of the built-in scenario and of its train.
inline constexpr char kBuiltInScenario[] = "Torbena-Sarvico-Zeva";
inline constexpr char kBuiltInTrain[] = "47302";

// Content lines of each text, in file order.
std::vector<std::string> RouteTextLines();      // route source
std::vector<std::string> TrainTextLines();         // train source
std::vector<std::string> NotesLines();          // notes
std::vector<std::string> SlowdownOrderLines(); // slowdown order form
std::vector<std::string> TrainCardLines();        // train card

void dati_linea(Form1& form);
void dati_treno(Form1& form);
void dati_note(Form1& form);
void dati_rallentamenti(Form1& form);
void dati_scheda(Form1& form);

}  // namespace sb
