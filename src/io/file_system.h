// File operations of the readers and writers, behind an interface so that the engine
// runs on a real folder or entirely in memory.
#pragma once

#include <chrono>
#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace sb {

// Receives the bytes of a file in order, piece by piece.
using ByteSink = std::function<void(std::string_view)>;

// One file of a replacement: its path and its `size` bytes, handed piece by piece to the
// sink that `produce` is called with, so that a large file needs no buffer of its own size.
struct FileToWrite {
  std::string path;
  size_t size = 0;
  std::function<void(const ByteSink&)> produce;
};

// A file whose bytes are at hand; they must outlive the replacement.
FileToWrite BytesToWrite(std::string path, std::string_view bytes);

// Why a replacement failed.
struct ReplaceError {
  std::string path;    // the file whose step failed
  std::string reason;  // which step, and the system's words for what happened
  // Files left holding their new version because their earlier one could not be put back
  // (normally none; `reason` tells where the earlier one is kept).
  std::vector<std::string> left_new;
};

// The run lock of a folder, held until it is destroyed.
class FolderLock {
 public:
  virtual ~FolderLock() = default;
};

// How long a run waits for another run in the same folder to end.
inline constexpr std::chrono::seconds kRunLockWait{60};
// The words for a folder whose run lock another run held for the whole of `waited`
// (lower case, no full stop).
std::string FolderBusyMessage(const std::string& folder, std::chrono::seconds waited);

class FileSystem {
 public:
  using ByteSink = sb::ByteSink;

  virtual ~FileSystem() = default;

  virtual bool Exists(const std::string& path) = 0;
  // Reads the whole file. On failure returns false and sets *err to the system's description.
  virtual bool ReadFile(const std::string& path, std::string* contents, std::string* err) = 0;
  // Replaces the files as one: each is written to a temporary file in its own folder, and
  // only when all are complete are they renamed over the old ones; a rename that fails
  // puts back the files renamed before it. On failure every old file is as it was (absent
  // if it was absent) and no temporary file remains. Nothing is flushed to the disk first:
  // a power cut soon after may lose the new versions, as it may lose a copied file.
  virtual bool ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError* error) = 0;
  // The same for one file; on failure *err says which step failed and why.
  bool ReplaceFile(const std::string& path, std::string_view contents, std::string* err);
  virtual bool RemoveFile(const std::string& path, std::string* err) = 0;
  // Makes the folder `path` and the missing folders above it; one that exists already is
  // fine ("" is the working folder or the root). On failure *err names the folder that
  // could not be made and gives the system's reason.
  virtual bool MakeFolders(const std::string& path, std::string* err) = 0;
  // Takes the run lock of the folder `dir`: while a run holds it, no other run of this
  // program reads, writes or deletes the scenario's files there. Waits up to `wait` while
  // another process holds it and returns null if it still does then. Where the folder
  // cannot be locked at all (a file system without locks), the lock returned guards
  // nothing and the run goes on as it would without one.
  virtual std::unique_ptr<FolderLock> LockFolder(const std::string& dir,
                                                 std::chrono::milliseconds wait) = 0;
  // The names of the files (not folders) in the folder `dir` ("" is the working folder),
  // sorted. On failure returns false and sets *err to the system's description; a file
  // system that cannot list folders fails so.
  virtual bool ListFiles(const std::string& dir, std::vector<std::string>* names,
                         std::string* err) {
    (void)dir;
    names->clear();
    *err = "folders cannot be listed here";
    return false;
  }
};

std::unique_ptr<FileSystem> MakeRealFileSystem();

// The folder that holds `path` (separators '/' and `separator`), without trailing
// separators; "" when the path names no folder above it, the root when it is at the root.
std::string ParentFolder(const std::string& path, char separator);


}  // namespace sb
