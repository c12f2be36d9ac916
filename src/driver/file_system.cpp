#include "driver/file_system.h"

namespace sb {

bool FileSystem::ReplaceFileWith(const std::string& path, size_t size,
                                 const std::function<void(const ByteSink&)>& produce,
                                 std::string* err) {
  std::string contents;
  contents.reserve(size);
  produce([&](std::string_view piece) { contents.append(piece); });
  return ReplaceFile(path, contents, err);
}

bool MemoryFileSystem::Exists(const std::string& path) { return files_.count(path) != 0; }

bool MemoryFileSystem::ReadFile(const std::string& path, std::string* contents,
                                std::string* err) {
  auto it = files_.find(path);
  if (it == files_.end()) {
    *err = "No such file or directory";
    return false;
  }
  auto failure = read_failures_.find(path);
  if (failure != read_failures_.end()) {
    *err = failure->second;
    return false;
  }
  *contents = it->second;
  return true;
}

bool MemoryFileSystem::ReplaceFile(const std::string& path, std::string_view contents,
                                   std::string* err) {
  auto f = failures_.find(path);
  if (f != failures_.end()) {
    WriteStep step = f->second;
    failures_.erase(f);
    switch (step) {
      case WriteStep::kCreate: *err = "cannot create a temporary file: Permission denied"; break;
      case WriteStep::kWrite: *err = "cannot write: No space left on device"; break;
      case WriteStep::kFlush: *err = "cannot flush: Input/output error"; break;
      case WriteStep::kRename: *err = "cannot rename over the old file: Permission denied"; break;
    }
    return false;
  }
  files_[path] = std::string(contents);
  return true;
}

bool MemoryFileSystem::RemoveFile(const std::string& path, std::string* err) {
  if (files_.erase(path) == 0) {
    *err = "No such file or directory";
    return false;
  }
  return true;
}

}  // namespace sb
