// The three ways a step can stop: a failure while reading a source text (fault 25),
// a failure of the run (a file that cannot be written), and an occupied stamp place.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "model/diagnostics.h"

namespace sb {

// Raised inside the reader; its handler turns it into fault 25. The field reader gives the
// place of the field it could not read.
class ReadFailure : public std::runtime_error {
 public:
  explicit ReadFailure(const std::string& what, std::optional<SourceRef> where = std::nullopt)
      : std::runtime_error(what), where_(where) {}
  const std::optional<SourceRef>& where() const { return where_; }
  // What the reading left unread, added by the half of the reader it passes through.
  const std::vector<DiagnosticNote>& notes() const { return notes_; }
  void AddNote(DiagnosticNote note) { notes_.push_back(std::move(note)); }

 private:
  std::optional<SourceRef> where_;
  std::vector<DiagnosticNote> notes_;
};

// A run-time failure outside the reader: ends the run with a message naming the file.
class RunFailure : public std::runtime_error {
 public:
  RunFailure(const std::string& file, const std::string& description)
      : std::runtime_error(file.empty() ? description : file + ": " + description),
        file_(file), description_(description) {}
  const std::string& file() const { return file_; }
  const std::string& description() const { return description_; }

 private:
  std::string file_;
  std::string description_;
};

// Raised by `errore`: an occupied fixed-stamp place ends the run with " Errore n. " and the
// code.
class StampPlaceTaken : public std::runtime_error {
 public:
  explicit StampPlaceTaken(const std::string& code)
      : std::runtime_error(" Errore n. " + code), code_(code) {}
  const std::string& code() const { return code_; }

 private:
  std::string code_;
};

// The compile cannot complete: the reader left no track.
class CompileStop : public std::runtime_error {
 public:
  explicit CompileStop(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace sb
