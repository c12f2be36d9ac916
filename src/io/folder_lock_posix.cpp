// The folder lock on POSIX hosts: flock() on the folder itself, released when it is closed
// (also when the process ends in any way).
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "io/folder_lock.h"

namespace sb {
namespace {

class PosixFolderLock : public FolderLock {
 public:
  explicit PosixFolderLock(int fd) : fd_(fd) {}
  ~PosixFolderLock() override {
    if (fd_ >= 0) ::close(fd_);
  }
  PosixFolderLock(const PosixFolderLock&) = delete;
  PosixFolderLock& operator=(const PosixFolderLock&) = delete;

 private:
  int fd_;
};

}  // namespace

std::unique_ptr<FolderLock> TakeFolderLock(const std::string& dir, std::chrono::milliseconds wait) {
  using Clock = std::chrono::steady_clock;
  int fd = ::open(dir.empty() ? "/" : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return std::make_unique<PosixFolderLock>(-1);
  const Clock::time_point deadline = Clock::now() + wait;
  // A run lasts some tens of milliseconds: short pauses at first, then 20 ms.
  std::chrono::milliseconds pause(1);
  for (;;) {
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) return std::make_unique<PosixFolderLock>(fd);
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) {  // no locks on this file system
      ::close(fd);
      return std::make_unique<PosixFolderLock>(-1);
    }
    const Clock::time_point now = Clock::now();
    if (now >= deadline) {
      ::close(fd);
      return nullptr;
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(20));
  }
}

}  // namespace sb
