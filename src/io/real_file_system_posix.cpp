// The real file system on POSIX hosts.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "io/file_replacement.h"
#include "io/file_system.h"
#include "io/folder_lock.h"

namespace sb {
namespace {

std::string ErrnoText(int e) { return std::strerror(e); }

// link() refuses these where the file system has no hard links (FAT, some network shares).
bool NoHardLinks(int e) {
  return e == EPERM || e == EOPNOTSUPP || e == ENOSYS || e == EMLINK || e == EXDEV;
}

class Steps : public ReplacementSteps {
 public:
  explicit Steps(unsigned* names) : names_(names) {}

  bool WriteTemporary(const FileToWrite& file, std::string* tmp, std::string* err) override {
    std::string name = file.path + ".tmp-XXXXXX";
    int fd = ::mkstemp(name.data());
    if (fd < 0) {
      *err = "cannot create a temporary file: " + ErrnoText(errno);
      return false;
    }
    ::fchmod(fd, 0644);
    // After a failed write the remaining pieces are dropped.
    int write_errno = 0;
    auto sink = [&](std::string_view piece) {
      const char* p = piece.data();
      size_t left = piece.size();
      while (left > 0 && write_errno == 0) {
        ssize_t n = ::write(fd, p, left);
        if (n < 0) {
          if (errno != EINTR) write_errno = errno;
          continue;
        }
        p += n;
        left -= static_cast<size_t>(n);
      }
    };
    try {
      file.produce(sink);
    } catch (...) {
      ::close(fd);
      ::unlink(name.c_str());
      throw;
    }
    if (write_errno != 0) {
      *err = "cannot write: " + ErrnoText(write_errno);
      ::close(fd);
      ::unlink(name.c_str());
      return false;
    }
    // No fsync before the rename: the rename alone keeps the replacement atomic (readers
    // see the old file or the new one; a failed step leaves the old one). Like cp, the
    // file reaches the disk when the system writes it back. An fsync per file cost 3 to
    // 12 ms here, about 40 ms for the eight files of a run: five times copying them.
    if (::close(fd) != 0) {
      *err = "cannot close: " + ErrnoText(errno);
      ::unlink(name.c_str());
      return false;
    }
    *tmp = std::move(name);
    return true;
  }

  // A hard link: the old file stays at its path all along. Where there are none, the old
  // file is moved to the second name instead.
  bool KeepOld(const std::string& path, std::string* backup, bool* moved,
               std::string* err) override {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0) {
      if (errno == ENOENT) return true;
      *err = ErrnoText(errno);
      return false;
    }
    if (S_ISDIR(st.st_mode)) return true;
    for (int attempt = 0; attempt < 100; ++attempt) {
      char suffix[48];
      std::snprintf(suffix, sizeof suffix, ".old-%lx-%x", static_cast<unsigned long>(::getpid()),
                    ++*names_);
      const std::string name = path + suffix;
      if (::link(path.c_str(), name.c_str()) == 0) {
        *backup = name;
        *moved = false;
        return true;
      }
      if (errno == EEXIST) continue;
      if (errno == ENOENT) return true;  // gone meanwhile: nothing to keep
      if (!NoHardLinks(errno)) {
        *err = ErrnoText(errno);
        return false;
      }
      struct stat taken;
      if (::lstat(name.c_str(), &taken) == 0) continue;
      if (::rename(path.c_str(), name.c_str()) != 0) {
        *err = ErrnoText(errno);
        return false;
      }
      *backup = name;
      *moved = true;
      return true;
    }
    *err = ErrnoText(EEXIST);
    return false;
  }

  bool Rename(const std::string& from, const std::string& to, std::string* err) override {
    if (::rename(from.c_str(), to.c_str()) == 0) return true;
    *err = ErrnoText(errno);
    return false;
  }

  bool Remove(const std::string& path, std::string* err) override {
    if (::unlink(path.c_str()) == 0) return true;
    *err = ErrnoText(errno);
    return false;
  }

 private:
  unsigned* names_;
};

class RealFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
  }

  bool ReadFile(const std::string& path, std::string* contents, std::string* err) override {
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      *err = ErrnoText(errno);
      return false;
    }
    contents->clear();
    struct stat st;
    if (::fstat(fd, &st) == 0 && st.st_size > 0) contents->reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
      ssize_t n = ::read(fd, buf, sizeof buf);
      if (n < 0) {
        if (errno == EINTR) continue;
        *err = ErrnoText(errno);
        ::close(fd);
        return false;
      }
      if (n == 0) break;
      contents->append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    return true;
  }

  bool ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError* error) override {
    Steps steps(&names_);
    return ReplaceAsOne(steps, files, error);
  }

  bool RemoveFile(const std::string& path, std::string* err) override {
    if (::unlink(path.c_str()) != 0) {
      *err = ErrnoText(errno);
      return false;
    }
    return true;
  }

  bool MakeFolders(const std::string& path, std::string* err) override {
    if (path.empty() || IsFolder(path)) return true;
    if (::mkdir(path.c_str(), 0777) == 0) return true;
    int e = errno;
    if (e == ENOENT) {
      const std::string parent = ParentFolder(path, '/');
      if (!parent.empty()) {
        if (!MakeFolders(parent, err)) return false;
        if (::mkdir(path.c_str(), 0777) == 0) return true;
        e = errno;
      }
    }
    if (e == EEXIST && IsFolder(path)) return true;  // made by another process meanwhile
    *err = path + ": " + ErrnoText(e == EEXIST ? ENOTDIR : e);  // EEXIST: a file is there
    return false;
  }

  std::unique_ptr<FolderLock> LockFolder(const std::string& dir,
                                         std::chrono::milliseconds wait) override {
    return TakeFolderLock(dir, wait);
  }

  bool ListFiles(const std::string& dir, std::vector<std::string>* names,
                 std::string* err) override {
    names->clear();
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (d == nullptr) {
      *err = ErrnoText(errno);
      return false;
    }
    const std::string base = dir.empty() ? "" : dir + "/";
    while (const dirent* e = ::readdir(d)) {
      const std::string name = e->d_name;
      if (name != "." && name != ".." && Exists(base + name)) names->push_back(name);
    }
    ::closedir(d);
    std::sort(names->begin(), names->end());
    return true;
  }

 private:
  static bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  }

  unsigned names_ = 0;  // numbers the second names of this process
};

}  // namespace

std::unique_ptr<FileSystem> MakeRealFileSystem() { return std::make_unique<RealFileSystem>(); }

}  // namespace sb
