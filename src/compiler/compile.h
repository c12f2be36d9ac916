// The compile step `memorizza_percorso`: reader, cell pass, stamps, codes, binary files.
#pragma once

#include <string>

#include "model/form1.h"

namespace sb {

// `errore`: ends the compile with " Errore n. " and the code (throws StampPlaceTaken).
[[noreturn]] void errore(const std::string& a);

// Whether the compile writes its binary files.
enum class BinaryFiles {
  kWrite,           // always, from whatever the model holds
  kWriteIfNoFault,  // only when no fault was recorded
  kWriteIfClean,    // only when neither a fault nor a warning was recorded
  kNone,            // read and check everything, write nothing
};

// Whether the compile recorded a fault.
bool FaultRecorded(const Form1& form);

// Runs the compile with line-data flag j. The binary files are replaced as one: either all
// are written or none is. Throws CompileStop when the reader left no track, StampPlaceTaken
// for an occupied stamp place, RunFailure when a file cannot be written.
void memorizza_percorso(Form1& form, int32_t& j, BinaryFiles files = BinaryFiles::kWrite);

}  // namespace sb
