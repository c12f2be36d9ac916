// The replacement of several files as one, built on the few steps a folder offers: the
// same sequence on a POSIX folder, a Windows folder and in memory.
#pragma once

#include <string>
#include <vector>

#include "io/file_system.h"

namespace sb {

class ReplacementSteps {
 public:
  virtual ~ReplacementSteps() = default;
  // Writes the file's bytes into a new temporary file beside it and closes it, then sets
  // `*tmp` to its name. On failure (or when the producer throws) no temporary file remains;
  // `*err` names the step and the cause.
  virtual bool WriteTemporary(const FileToWrite& file, std::string* tmp, std::string* err) = 0;
  // Gives the file at `path` a second name beside it, `*backup`, so that it can be put back
  // after `path` was replaced. `*backup` stays empty when there is no file at `path` (none,
  // or a folder, whose replacement fails by itself). `*moved` tells whether `path` lost its
  // name on the way (where a file cannot have two names).
  virtual bool KeepOld(const std::string& path, std::string* backup, bool* moved,
                       std::string* err) = 0;
  // Renames `from` over `to` in one step.
  virtual bool Rename(const std::string& from, const std::string& to, std::string* err) = 0;
  virtual bool Remove(const std::string& path, std::string* err) = 0;
};

// FileSystem::ReplaceFiles over `steps`. The files are written one after the other to
// temporary files; then each is renamed over its target, the old file having been kept
// under a second name first when a later rename could still fail (the last file needs
// none: after its rename nothing is left to fail). On a failure, the renamed files get
// their old version back (or are removed, where there was none) and every temporary file
// is removed; on success the second names are removed.
bool ReplaceAsOne(ReplacementSteps& steps, const std::vector<FileToWrite>& files,
                  ReplaceError* error);

}  // namespace sb
