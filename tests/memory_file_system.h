// A folder in memory, for tests and fuzz targets: files in a map, injected failures of
// reads and of every step of a replacement, and folder locks held in the object. Folders
// that are made are noted; a file needs none to be written.
#pragma once

#include <map>
#include <set>
#include <string>
#include <utility>

#include "io/file_system.h"

namespace sb {

// The steps of a replacement, for injected failures: the temporary file is created,
// written and flushed; then, when more files follow, the old file is kept under a second
// name, and the temporary file is renamed over it. kPutBack is the undoing of a rename.
enum class WriteStep { kCreate, kWrite, kFlush, kKeepOld, kRename, kPutBack };

class MemoryFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override;
  bool ReadFile(const std::string& path, std::string* contents, std::string* err) override;
  bool ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError* error) override;
  bool RemoveFile(const std::string& path, std::string* err) override;
  // Notes `path` and the folders above it ('/' separators); fails where a file is one of them.
  bool MakeFolders(const std::string& path, std::string* err) override;
  // Held in this object until released; a second lock of the same folder is refused at once
  // (nothing else could release the first while the caller waits).
  std::unique_ptr<FolderLock> LockFolder(const std::string& dir,
                                         std::chrono::milliseconds wait) override;
  // The files directly in `dir` ('/' separators); fails for a folder that holds no file and
  // was never made.
  bool ListFiles(const std::string& dir, std::vector<std::string>* names,
                 std::string* err) override;

  // Makes `step` of the next replacement of `path` fail.
  void FailReplace(const std::string& path, WriteStep step) { failures_[path] = step; }
  // Makes every read of `path` fail with the system's description `err`.
  void FailRead(const std::string& path, std::string err = "Input/output error") {
    read_failures_[path] = std::move(err);
  }

  std::map<std::string, std::string>& files() { return files_; }
  const std::map<std::string, std::string>& files() const { return files_; }
  const std::set<std::string>& locked() const { return locked_; }
  const std::set<std::string>& folders() const { return folders_; }

 private:
  class Steps;
  // True, and the failure consumed, when `step` of `path` is to fail.
  bool Fails(const std::string& path, WriteStep step);

  std::map<std::string, std::string> files_;
  std::map<std::string, WriteStep> failures_;
  std::map<std::string, std::string> read_failures_;
  std::set<std::string> locked_;
  std::set<std::string> folders_;
  unsigned names_ = 0;
};

}  // namespace sb
