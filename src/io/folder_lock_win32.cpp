// The folder lock on Windows: a mutex of the session named after the folder, released when
// its handle is closed (also when the process ends in any way). No file is made.
#include <cstdint>
#include <cwchar>

#include "io/folder_lock.h"
#include "io/win32_text.h"

namespace sb {
namespace {

class MutexFolderLock : public FolderLock {
 public:
  MutexFolderLock(HANDLE mutex, bool owned) : mutex_(mutex), owned_(owned) {}
  ~MutexFolderLock() override {
    if (mutex_ == nullptr) return;
    if (owned_) ::ReleaseMutex(mutex_);
    ::CloseHandle(mutex_);
  }
  MutexFolderLock(const MutexFolderLock&) = delete;
  MutexFolderLock& operator=(const MutexFolderLock&) = delete;

 private:
  HANDLE mutex_;
  bool owned_;
};

std::wstring FinalPath(HANDLE h) {
  const DWORD flags = FILE_NAME_NORMALIZED | VOLUME_NAME_DOS;
  DWORD n = ::GetFinalPathNameByHandleW(h, nullptr, 0, flags);
  if (n == 0) return std::wstring();
  std::wstring path(n, L'\0');
  n = ::GetFinalPathNameByHandleW(h, path.data(), n, flags);
  if (n == 0 || n >= path.size()) return std::wstring();
  path.resize(n);
  return path;
}

// The folder's path as the system itself gives it for the open folder, whatever way it was
// spelled (another case, a short name, a link); its full path when it cannot be opened.
// Upper case, as the file system compares names.
std::wstring FolderKey(const std::string& dir) {
  const std::wstring given = Widen(dir.empty() ? "\\" : dir);
  std::wstring key;
  HANDLE h = ::CreateFileW(given.c_str(), FILE_READ_ATTRIBUTES,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (h != INVALID_HANDLE_VALUE) {
    key = FinalPath(h);
    ::CloseHandle(h);
  }
  if (key.empty()) {
    DWORD n = ::GetFullPathNameW(given.c_str(), 0, nullptr, nullptr);
    if (n > 0) {
      key.assign(n, L'\0');
      n = ::GetFullPathNameW(given.c_str(), n, key.data(), nullptr);
      key.resize(n < key.size() ? n : 0);
    }
    if (key.empty()) key = given;
  }
  while (key.size() > 1 && (key.back() == L'\\' || key.back() == L'/')) key.pop_back();
  if (!key.empty()) ::CharUpperBuffW(key.data(), static_cast<DWORD>(key.size()));
  return key;
}

// A mutex name holds no backslash and is at most MAX_PATH long: the key goes in as a hash.
std::wstring MutexName(const std::wstring& key) {
  uint64_t h = 14695981039346656037ull;  // FNV-1a
  for (wchar_t c : key) {
    h ^= static_cast<uint16_t>(c);
    h *= 1099511628211ull;
  }
  wchar_t name[64];
  ::swprintf(name, 64, L"Local\\scenario-builder-%016llx", static_cast<unsigned long long>(h));
  return name;
}

}  // namespace

std::unique_ptr<FolderLock> TakeFolderLock(const std::string& dir, std::chrono::milliseconds wait) {
  HANDLE mutex = ::CreateMutexW(nullptr, FALSE, MutexName(FolderKey(dir)).c_str());
  if (mutex == nullptr) return std::make_unique<MutexFolderLock>(nullptr, false);
  const long long ms = wait.count() < 0 ? 0 : wait.count();
  const DWORD timeout = ms >= INFINITE ? INFINITE - 1 : static_cast<DWORD>(ms);
  switch (::WaitForSingleObject(mutex, timeout)) {
    case WAIT_OBJECT_0:
    case WAIT_ABANDONED:  // its last holder ended without releasing it
      return std::make_unique<MutexFolderLock>(mutex, true);
    case WAIT_TIMEOUT:
      ::CloseHandle(mutex);
      return nullptr;
    default:
      ::CloseHandle(mutex);
      return std::make_unique<MutexFolderLock>(nullptr, false);
  }
}

}  // namespace sb
