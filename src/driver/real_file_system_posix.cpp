// The real file system on POSIX hosts.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "driver/file_system.h"

namespace sb {
namespace {

std::string ErrnoText(int e) { return std::strerror(e); }

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

  bool ReplaceFile(const std::string& path, std::string_view contents, std::string* err) override {
    return ReplaceFileWith(path, contents.size(), [&](const ByteSink& sink) { sink(contents); }, err);
  }

  bool ReplaceFileWith(const std::string& path, size_t /*size*/,
                       const std::function<void(const ByteSink&)>& produce,
                       std::string* err) override {
    std::string tmp = path + ".tmp-XXXXXX";
    int fd = ::mkstemp(tmp.data());
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
      produce(sink);
    } catch (...) {
      ::close(fd);
      ::unlink(tmp.c_str());
      throw;
    }
    if (write_errno != 0) {
      *err = "cannot write: " + ErrnoText(write_errno);
      ::close(fd);
      ::unlink(tmp.c_str());
      return false;
    }
    // No fsync before the rename: the rename alone keeps the replacement atomic (readers
    // see the old file or the new one; a failed step leaves the old one). Like cp, the
    // file reaches the disk when the system writes it back. An fsync per file cost 3 to
    // 12 ms here, about 40 ms for the eight files of a run: five times copying them.
    if (::close(fd) != 0) {
      *err = "cannot close: " + ErrnoText(errno);
      ::unlink(tmp.c_str());
      return false;
    }
    if (::rename(tmp.c_str(), path.c_str()) != 0) {
      *err = "cannot rename over the old file: " + ErrnoText(errno);
      ::unlink(tmp.c_str());
      return false;
    }
    return true;
  }

  bool RemoveFile(const std::string& path, std::string* err) override {
    if (::unlink(path.c_str()) != 0) {
      *err = ErrnoText(errno);
      return false;
    }
    return true;
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeRealFileSystem() { return std::make_unique<RealFileSystem>(); }

}  // namespace sb
