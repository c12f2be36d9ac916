// File operations of the readers and writers, behind an interface so that the engine
// runs on a real folder or entirely in memory.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>

namespace sb {

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  virtual bool Exists(const std::string& path) = 0;
  // Reads the whole file. On failure returns false and sets *err to the system's description.
  virtual bool ReadFile(const std::string& path, std::string* contents, std::string* err) = 0;
  // Replaces the file whole and atomically: a temporary file in the same directory is
  // created, written, closed and renamed over the old one. On failure the old version is
  // left intact and no temporary file remains. It is not flushed to the disk first: a
  // power cut soon after may lose the new version, as it may lose a copied file.
  virtual bool ReplaceFile(const std::string& path, std::string_view contents,
                           std::string* err) = 0;
  // Receives the bytes of a file in order, piece by piece.
  using ByteSink = std::function<void(std::string_view)>;
  // The same replacement, with the `size` bytes of the contents handed piece by piece to
  // the sink that `produce` is called with, so that a large file needs no buffer of its
  // own size. By default the pieces are gathered and given to ReplaceFile.
  virtual bool ReplaceFileWith(const std::string& path, size_t size,
                               const std::function<void(const ByteSink&)>& produce,
                               std::string* err);
  virtual bool RemoveFile(const std::string& path, std::string* err) = 0;
};

std::unique_ptr<FileSystem> MakeRealFileSystem();

// The steps of a replacement, for injected failures.
enum class WriteStep { kCreate, kWrite, kFlush, kRename };

class MemoryFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override;
  bool ReadFile(const std::string& path, std::string* contents, std::string* err) override;
  bool ReplaceFile(const std::string& path, std::string_view contents, std::string* err) override;
  bool RemoveFile(const std::string& path, std::string* err) override;

  // Makes the next replacement of `path` fail at `step`.
  void FailReplace(const std::string& path, WriteStep step) { failures_[path] = step; }
  // Makes every read of `path` fail with the system's description `err`.
  void FailRead(const std::string& path, std::string err = "Input/output error") {
    read_failures_[path] = std::move(err);
  }

  std::map<std::string, std::string>& files() { return files_; }
  const std::map<std::string, std::string>& files() const { return files_; }

 private:
  std::map<std::string, std::string> files_;
  std::map<std::string, WriteStep> failures_;
  std::map<std::string, std::string> read_failures_;
};

}  // namespace sb
