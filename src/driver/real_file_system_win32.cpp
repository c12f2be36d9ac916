// The real file system on Windows: wide-character APIs, binary access only, and a
// replacement by rename over the old file that never deletes it first.
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>

#include "driver/file_system.h"
#include "driver/win32_text.h"

namespace sb {
namespace {

// Waits between renames refused because another process (a virus scanner, an indexer)
// still holds the new or the old file.
constexpr DWORD kRenameRetryMs[] = {10, 20, 50, 100, 200, 400};

bool IsTransientRenameError(DWORD e) {
  return e == ERROR_SHARING_VIOLATION || e == ERROR_ACCESS_DENIED || e == ERROR_LOCK_VIOLATION;
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

  bool ReplaceFile(const std::string& path, std::string_view contents, std::string* err) override {
    return ReplaceFileWith(path, contents.size(), [&](const ByteSink& sink) { sink(contents); }, err);
  }

  bool ReplaceFileWith(const std::string& path, size_t /*size*/,
                       const std::function<void(const ByteSink&)>& produce,
                       std::string* err) override {
    const std::wstring target = Widen(path);
    // Windows refuses to rename over a read-only file; say so at once rather than after the
    // retries, and the same on hosts whose rename would go through anyway.
    DWORD attr = ::GetFileAttributesW(target.c_str());
    if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_READONLY)) {
      *err = "cannot replace a read-only file: " + SystemErrorText(ERROR_ACCESS_DENIED);
      return false;
    }
    std::wstring tmp;
    Handle f(CreateTemporaryBeside(target, &temporaries_, &tmp));
    if (!f.valid()) {
      *err = "cannot create a temporary file: " + SystemErrorText(::GetLastError());
      return false;
    }
    auto fail = [&](const char* what, DWORD code) {
      *err = what + SystemErrorText(code);
      f.Close();
      ::DeleteFileW(tmp.c_str());
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
      produce(sink);
    } catch (...) {
      f.Close();
      ::DeleteFileW(tmp.c_str());
      throw;
    }
    if (write_error != 0) return fail("cannot write: ", write_error);
    if (!::FlushFileBuffers(f.get())) return fail("cannot flush: ", ::GetLastError());
    if (!f.Close()) return fail("cannot close: ", ::GetLastError());
    // Never delete the old file first: until the rename it stays whole where it was.
    for (size_t attempt = 0;; ++attempt) {
      if (::MoveFileExW(tmp.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
      DWORD e = ::GetLastError();
      if (!IsTransientRenameError(e) || attempt == std::size(kRenameRetryMs))
        return fail("cannot rename over the old file: ", e);
      ::Sleep(kRenameRetryMs[attempt]);
    }
  }

  bool RemoveFile(const std::string& path, std::string* err) override {
    if (!::DeleteFileW(Widen(path).c_str())) {
      *err = SystemErrorText(::GetLastError());
      return false;
    }
    return true;
  }

 private:
  unsigned temporaries_ = 0;
};

}  // namespace

std::unique_ptr<FileSystem> MakeRealFileSystem() { return std::make_unique<RealFileSystem>(); }

}  // namespace sb
