// A folder that passes everything through to a folder in memory and notes the paths of
// the files replaced, in order.
#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "io/file_system.h"
#include "memory_file_system.h"

namespace sb::testing {

class ReplacementLog : public FileSystem {
 public:
  explicit ReplacementLog(MemoryFileSystem& folder) : folder_(folder) {}
  bool Exists(const std::string& path) override { return folder_.Exists(path); }
  bool ReadFile(const std::string& path, std::string* contents, std::string* err) override {
    return folder_.ReadFile(path, contents, err);
  }
  bool ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError* error) override {
    if (!folder_.ReplaceFiles(files, error)) return false;
    for (const FileToWrite& f : files) replaced.push_back(f.path);
    return true;
  }
  bool RemoveFile(const std::string& path, std::string* err) override {
    return folder_.RemoveFile(path, err);
  }
  bool MakeFolders(const std::string& path, std::string* err) override {
    return folder_.MakeFolders(path, err);
  }
  std::unique_ptr<FolderLock> LockFolder(const std::string& dir,
                                         std::chrono::milliseconds wait) override {
    return folder_.LockFolder(dir, wait);
  }

  std::vector<std::string> replaced;

 private:
  MemoryFileSystem& folder_;
};

}  // namespace sb::testing
