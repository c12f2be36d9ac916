#include "io/file_replacement.h"

namespace sb {
namespace {

// How far one file of the replacement has come.
struct Progress {
  std::string tmp;       // the temporary file, until it is renamed
  std::string backup;    // the second name of the old file
  bool moved = false;    // the old file is no longer at its own path
  bool renamed = false;  // the new version is at the file's path
};

// Puts every file back as it was, the last one first; what cannot be undone is added to
// the reason of the failure.
void Undo(ReplacementSteps& steps, const std::vector<FileToWrite>& files,
          const std::vector<Progress>& done, ReplaceError* error) {
  std::string err;
  for (size_t k = done.size(); k-- > 0;) {
    const std::string& path = files[k].path;
    const Progress& p = done[k];
    if (p.renamed) {
      if (!p.backup.empty() ? steps.Rename(p.backup, path, &err) : steps.Remove(path, &err))
        continue;
      error->left_new.push_back(path);
      error->reason += "; " + path + " keeps its new version: " +
                       (p.backup.empty() ? "it could not be removed (" + err + ")"
                                         : "the earlier one could not be put back (" + err +
                                               ") and is kept as " + p.backup);
      continue;
    }
    if (!p.tmp.empty() && !steps.Remove(p.tmp, &err))
      error->reason += "; the temporary file " + p.tmp + " could not be removed (" + err + ")";
    if (p.backup.empty()) continue;
    if (p.moved && !steps.Rename(p.backup, path, &err)) {
      error->reason += "; the earlier " + path + " could not be put back (" + err +
                       ") and is kept as " + p.backup;
    } else if (!p.moved && !steps.Remove(p.backup, &err)) {
      error->reason += "; the second name " + p.backup + " could not be removed (" + err + ")";
    }
  }
}

}  // namespace

bool ReplaceAsOne(ReplacementSteps& steps, const std::vector<FileToWrite>& files,
                  ReplaceError* error) {
  std::vector<Progress> done;
  done.reserve(files.size());
  std::string err;
  auto fail = [&](size_t i, std::string reason) {
    error->path = files[i].path;
    error->reason = std::move(reason);
    error->left_new.clear();
    Undo(steps, files, done, error);
    return false;
  };

  try {
    for (size_t i = 0; i < files.size(); ++i) {
      done.emplace_back();
      if (!steps.WriteTemporary(files[i], &done[i].tmp, &err)) return fail(i, err);
    }
  } catch (...) {
    // A producer that throws: its own temporary file is gone already, the others go now.
    ReplaceError ignored;
    Undo(steps, files, done, &ignored);
    throw;
  }

  for (size_t i = 0; i < files.size(); ++i) {
    Progress& p = done[i];
    if (i + 1 < files.size() && !steps.KeepOld(files[i].path, &p.backup, &p.moved, &err))
      return fail(i, "cannot keep the old file under a second name: " + err);
    if (!steps.Rename(p.tmp, files[i].path, &err))
      return fail(i, "cannot rename over the old file: " + err);
    p.tmp.clear();
    p.renamed = true;
  }
  // The replacement is complete. Removing a second name just made in the folder does not
  // fail on POSIX; on Windows it is retried while another program holds the file. One that
  // still cannot be removed stays, and takes nothing from the files replaced.
  for (const Progress& p : done)
    if (!p.backup.empty()) steps.Remove(p.backup, &err);
  return true;
}

}  // namespace sb
