#include "memory_file_system.h"

#include "io/file_replacement.h"

namespace sb {

// The steps of a replacement on the map of files, with the injected failures. The old
// file is kept by moving it to its second name, as on Windows.
class MemoryFileSystem::Steps : public ReplacementSteps {
 public:
  explicit Steps(MemoryFileSystem& fs) : fs_(fs) {}

  bool WriteTemporary(const FileToWrite& file, std::string* tmp, std::string* err) override {
    if (fs_.Fails(file.path, WriteStep::kCreate)) {
      *err = "cannot create a temporary file: Permission denied";
      return false;
    }
    std::string bytes;
    bytes.reserve(file.size);
    file.produce([&](std::string_view piece) { bytes.append(piece); });
    if (fs_.Fails(file.path, WriteStep::kWrite)) {
      *err = "cannot write: No space left on device";
      return false;
    }
    if (fs_.Fails(file.path, WriteStep::kFlush)) {
      *err = "cannot flush: Input/output error";
      return false;
    }
    *tmp = file.path + ".tmp-" + std::to_string(++fs_.names_);
    fs_.files_[*tmp] = std::move(bytes);
    temporaries_.insert(*tmp);
    return true;
  }

  bool KeepOld(const std::string& path, std::string* backup, bool* moved,
               std::string* err) override {
    if (fs_.Fails(path, WriteStep::kKeepOld)) {
      *err = "Operation not permitted";
      return false;
    }
    auto it = fs_.files_.find(path);
    if (it == fs_.files_.end()) return true;
    *backup = path + ".old-" + std::to_string(++fs_.names_);
    fs_.files_[*backup] = std::move(it->second);
    fs_.files_.erase(path);
    *moved = true;
    return true;
  }

  bool Rename(const std::string& from, const std::string& to, std::string* err) override {
    const WriteStep step = temporaries_.count(from) ? WriteStep::kRename : WriteStep::kPutBack;
    auto it = fs_.files_.find(from);
    if (it == fs_.files_.end()) {
      *err = "No such file or directory";
      return false;
    }
    if (fs_.Fails(to, step)) {
      *err = "Permission denied";
      return false;
    }
    std::string bytes = std::move(it->second);
    fs_.files_.erase(it);
    fs_.files_[to] = std::move(bytes);
    return true;
  }

  bool Remove(const std::string& path, std::string* err) override {
    return fs_.RemoveFile(path, err);
  }

 private:
  MemoryFileSystem& fs_;
  std::set<std::string> temporaries_;
};

bool MemoryFileSystem::Fails(const std::string& path, WriteStep step) {
  auto f = failures_.find(path);
  if (f == failures_.end() || f->second != step) return false;
  failures_.erase(f);
  return true;
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

bool MemoryFileSystem::ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError* error) {
  Steps steps(*this);
  return ReplaceAsOne(steps, files, error);
}

bool MemoryFileSystem::RemoveFile(const std::string& path, std::string* err) {
  if (files_.erase(path) == 0) {
    *err = "No such file or directory";
    return false;
  }
  return true;
}

bool MemoryFileSystem::ListFiles(const std::string& dir, std::vector<std::string>* names,
                                 std::string* err) {
  names->clear();
  const std::string base = dir.empty() ? "" : dir + "/";
  for (const auto& [path, bytes] : files_) {
    if (path.compare(0, base.size(), base) != 0) continue;
    const std::string name = path.substr(base.size());
    if (!name.empty() && name.find('/') == std::string::npos) names->push_back(name);
  }
  if (names->empty() && !folders_.count(dir) && !dir.empty()) {
    *err = "No such file or directory";
    return false;
  }
  return true;
}

bool MemoryFileSystem::MakeFolders(const std::string& path, std::string* err) {
  std::vector<std::string> chain;
  for (std::string p = path; !p.empty(); p = ParentFolder(p, '/')) chain.push_back(p);
  for (const std::string& p : chain) {
    if (files_.count(p)) {
      *err = p + ": Not a directory";
      return false;
    }
  }
  folders_.insert(chain.begin(), chain.end());
  return true;
}

namespace {

class MemoryLock : public FolderLock {
 public:
  MemoryLock(std::set<std::string>& locked, std::string dir)
      : locked_(locked), dir_(std::move(dir)) {}
  ~MemoryLock() override { locked_.erase(dir_); }

 private:
  std::set<std::string>& locked_;
  std::string dir_;
};

}  // namespace

std::unique_ptr<FolderLock> MemoryFileSystem::LockFolder(const std::string& dir,
                                                         std::chrono::milliseconds /*wait*/) {
  if (!locked_.insert(dir).second) return nullptr;
  return std::make_unique<MemoryLock>(locked_, dir);
}

}  // namespace sb
