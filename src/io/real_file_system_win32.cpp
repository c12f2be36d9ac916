// The real file system on Windows: wide-character APIs, binary access only, and a
// replacement by rename over the old file that never deletes it first.
#include <algorithm>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "io/file_replacement.h"
#include "io/file_system.h"
#include "io/folder_lock.h"
#include "io/win32_text.h"

namespace sb {
namespace {

// Waits between renames and deletions refused because another process (a virus scanner,
// an indexer) still holds the new or the old file.
constexpr DWORD kRetryMs[] = {10, 20, 50, 100, 200, 400};

bool IsTransientError(DWORD e) {
  return e == ERROR_SHARING_VIOLATION || e == ERROR_ACCESS_DENIED || e == ERROR_LOCK_VIOLATION;
}

// Runs `step` again while it fails for a moment only; returns the last error, 0 on success.
template <typename Step>
DWORD WithRetries(Step step) {
  for (size_t attempt = 0;; ++attempt) {
    if (step()) return 0;
    DWORD e = ::GetLastError();
    if (!IsTransientError(e) || attempt == std::size(kRetryMs)) return e;
    ::Sleep(kRetryMs[attempt]);
  }
}

// A handle that closes itself.
class Handle {
 public:
  explicit Handle(HANDLE h) : h_(h) {}
  ~Handle() { Close(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return h_; }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE; }
  bool Close() {
    if (!valid()) return true;
    BOOL ok = ::CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
    return ok != 0;
  }

 private:
  HANDLE h_;
};

// Creates a new, empty file beside `path` with a name no other file has; `counter`
// numbers the temporary files of this process.
HANDLE CreateTemporaryBeside(const std::wstring& path, unsigned* counter, std::wstring* tmp) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    wchar_t suffix[64];
    ::swprintf(suffix, 64, L".tmp-%lx-%x", static_cast<unsigned long>(::GetCurrentProcessId()),
               ++*counter);
    *tmp = path + suffix;
    HANDLE h = ::CreateFileW(tmp->c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h != INVALID_HANDLE_VALUE || ::GetLastError() != ERROR_FILE_EXISTS) return h;
  }
  return INVALID_HANDLE_VALUE;
}

// The steps of a replacement. The old file is kept by moving it to its second name (a
// file of a FAT folder can have but one name); the rename over it never deletes it first.
class Steps : public ReplacementSteps {
 public:
  explicit Steps(unsigned* names) : names_(names) {}

  bool WriteTemporary(const FileToWrite& file, std::string* tmp, std::string* err) override {
    const std::wstring target = Widen(file.path);
    // Windows refuses to rename over a read-only file or a folder; say so before anything
    // is written rather than after the retries.
    DWORD attr = ::GetFileAttributesW(target.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
      *err = "cannot replace a folder with a file: " + SystemErrorText(ERROR_ACCESS_DENIED);
      return false;
    }
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)) {
      *err = "cannot replace a read-only file: " + SystemErrorText(ERROR_ACCESS_DENIED);
      return false;
    }
    std::wstring name;
    Handle f(CreateTemporaryBeside(target, names_, &name));
    if (!f.valid()) {
      *err = "cannot create a temporary file: " + SystemErrorText(::GetLastError());
      return false;
    }
    auto fail = [&](const char* what, DWORD code) {
      *err = what + SystemErrorText(code);
      f.Close();
      ::DeleteFileW(name.c_str());
      return false;
    };
    // After a failed write the remaining pieces are dropped.
    DWORD write_error = 0;
    auto sink = [&](std::string_view piece) {
      const char* p = piece.data();
      size_t left = piece.size();
      while (left > 0 && write_error == 0) {
        DWORD chunk = left > (1u << 30) ? (1u << 30) : static_cast<DWORD>(left);
        DWORD n = 0;
        if (!::WriteFile(f.get(), p, chunk, &n, nullptr)) write_error = ::GetLastError();
        p += n;
        left -= n;
      }
    };
    try {
      file.produce(sink);
    } catch (...) {
      f.Close();
      ::DeleteFileW(name.c_str());
      throw;
    }
    if (write_error != 0) return fail("cannot write: ", write_error);
    if (!::FlushFileBuffers(f.get())) return fail("cannot flush: ", ::GetLastError());
    if (!f.Close()) return fail("cannot close: ", ::GetLastError());
    *tmp = Narrow(name);
    return true;
  }

  bool KeepOld(const std::string& path, std::string* backup, bool* moved,
               std::string* err) override {
    const std::wstring target = Widen(path);
    DWORD attr = ::GetFileAttributesW(target.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES) {
      DWORD e = ::GetLastError();
      if (e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) return true;
      *err = SystemErrorText(e);
      return false;
    }
    if (attr & FILE_ATTRIBUTE_DIRECTORY) return true;
    for (int attempt = 0; attempt < 100; ++attempt) {
      wchar_t suffix[64];
      ::swprintf(suffix, 64, L".old-%lx-%x", static_cast<unsigned long>(::GetCurrentProcessId()),
                 ++*names_);
      const std::wstring name = target + suffix;
      DWORD e = WithRetries([&] { return ::MoveFileExW(target.c_str(), name.c_str(), 0) != 0; });
      if (e == 0) {
        *backup = Narrow(name);
        *moved = true;
        return true;
      }
      if (e != ERROR_ALREADY_EXISTS && e != ERROR_FILE_EXISTS) {
        *err = SystemErrorText(e);
        return false;
      }
    }
    *err = SystemErrorText(ERROR_ALREADY_EXISTS);
    return false;
  }

  bool Rename(const std::string& from, const std::string& to, std::string* err) override {
    const std::wstring source = Widen(from), target = Widen(to);
    DWORD e = WithRetries([&] {
      return ::MoveFileExW(source.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    });
    if (e == 0) return true;
    *err = SystemErrorText(e);
    return false;
  }

  bool Remove(const std::string& path, std::string* err) override {
    const std::wstring name = Widen(path);
    DWORD e = WithRetries([&] { return ::DeleteFileW(name.c_str()) != 0; });
    if (e == 0) return true;
    *err = SystemErrorText(e);
    return false;
  }

 private:
  unsigned* names_;
};

class RealFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override {
    DWORD attr = ::GetFileAttributesW(Widen(path).c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
  }

  bool ReadFile(const std::string& path, std::string* contents, std::string* err) override {
    Handle f(::CreateFileW(Widen(path).c_str(), GENERIC_READ,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!f.valid()) {
      *err = SystemErrorText(::GetLastError());
      return false;
    }
    contents->clear();
    LARGE_INTEGER size;
    if (::GetFileSizeEx(f.get(), &size) && size.QuadPart > 0)
      contents->reserve(static_cast<size_t>(size.QuadPart));
    char buf[65536];
    for (;;) {
      DWORD n = 0;
      if (!::ReadFile(f.get(), buf, sizeof buf, &n, nullptr)) {
        *err = SystemErrorText(::GetLastError());
        return false;
      }
      if (n == 0) break;
      contents->append(buf, n);
    }
    return true;
  }

  bool ReplaceFiles(const std::vector<FileToWrite>& files, ReplaceError* error) override {
    Steps steps(&names_);
    return ReplaceAsOne(steps, files, error);
  }

  bool RemoveFile(const std::string& path, std::string* err) override {
    if (!::DeleteFileW(Widen(path).c_str())) {
      *err = SystemErrorText(::GetLastError());
      return false;
    }
    return true;
  }

  bool MakeFolders(const std::string& path, std::string* err) override {
    if (path.empty() || IsFolder(path)) return true;
    const std::wstring wide = Widen(path);
    if (::CreateDirectoryW(wide.c_str(), nullptr)) return true;
    DWORD e = ::GetLastError();
    if (e == ERROR_PATH_NOT_FOUND) {
      const std::string parent = ParentFolder(path, '\\');
      if (!parent.empty()) {
        if (!MakeFolders(parent, err)) return false;
        if (::CreateDirectoryW(wide.c_str(), nullptr)) return true;
        e = ::GetLastError();
      }
    }
    if (e == ERROR_ALREADY_EXISTS && IsFolder(path)) return true;  // made meanwhile
    *err = path + ": " + SystemErrorText(e);
    return false;
  }

  std::unique_ptr<FolderLock> LockFolder(const std::string& dir,
                                         std::chrono::milliseconds wait) override {
    return TakeFolderLock(dir, wait);
  }

  bool ListFiles(const std::string& dir, std::vector<std::string>* names,
                 std::string* err) override {
    names->clear();
    WIN32_FIND_DATAW found;
    HANDLE h = ::FindFirstFileW(Widen((dir.empty() ? std::string(".") : dir) + "\\*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) {
      *err = SystemErrorText(::GetLastError());
      return false;
    }
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names->push_back(Narrow(found.cFileName));
    } while (::FindNextFileW(h, &found));
    ::FindClose(h);
    std::sort(names->begin(), names->end());
    return true;
  }

 private:
  static bool IsFolder(const std::string& path) {
    DWORD attr = ::GetFileAttributesW(Widen(path).c_str());
    return attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
  }

  unsigned names_ = 0;  // numbers the temporary files and second names of this process
};

}  // namespace

std::unique_ptr<FileSystem> MakeRealFileSystem() { return std::make_unique<RealFileSystem>(); }

}  // namespace sb
