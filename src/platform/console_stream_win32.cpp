#include "platform/console_stream.h"

#include <algorithm>

#include "io/text_encoding.h"
#include "io/win32_text.h"

namespace sb {
namespace {

constexpr size_t kHeldBytes = 16384;   // written when this much is pending
constexpr size_t kConsoleChunk = 8192; // UTF-16 units per WriteConsoleW

bool WriteBytes(HANDLE h, const char* p, size_t n) {
  while (n > 0) {
    DWORD chunk = static_cast<DWORD>(std::min<size_t>(n, 1u << 30));
    DWORD written = 0;
    if (!::WriteFile(h, p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    n -= written;
  }
  return true;
}

bool WriteConsole(HANDLE h, const std::wstring& text) {
  const wchar_t* p = text.data();
  size_t n = text.size();
  while (n > 0) {
    DWORD chunk = static_cast<DWORD>(std::min(n, kConsoleChunk));
    DWORD written = 0;
    if (!::WriteConsoleW(h, p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    n -= written;
  }
  return true;
}

}  // namespace

OutputKind KindOfOutput(void* handle) {
  HANDLE h = static_cast<HANDLE>(handle);
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return OutputKind::kNone;
  DWORD mode = 0;
  if (::GetFileType(h) == FILE_TYPE_CHAR && ::GetConsoleMode(h, &mode)) return OutputKind::kConsole;
  return OutputKind::kBytes;
}

OutputBuffer::OutputBuffer(void* handle) : handle_(handle), kind_(KindOfOutput(handle)) {}

OutputBuffer::~OutputBuffer() { Write(true); }

OutputBuffer::int_type OutputBuffer::overflow(int_type c) {
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  pending_ += traits_type::to_char_type(c);
  if (pending_.size() >= kHeldBytes && !Write(false)) return traits_type::eof();
  return c;
}

std::streamsize OutputBuffer::xsputn(const char* s, std::streamsize n) {
  pending_.append(s, static_cast<size_t>(n));
  if (pending_.size() >= kHeldBytes && !Write(false)) return 0;
  return n;
}

int OutputBuffer::sync() { return Write(false) ? 0 : -1; }

// Writes what is pending; to a console, all but a character cut short unless `all`.
bool OutputBuffer::Write(bool all) {
  if (pending_.empty()) return true;
  bool ok = true;
  HANDLE h = static_cast<HANDLE>(handle_);
  switch (kind_) {
    case OutputKind::kNone:
      pending_.clear();
      return true;
    case OutputKind::kBytes:
      ok = WriteBytes(h, pending_.data(), pending_.size());
      pending_.clear();
      return ok;
    case OutputKind::kConsole: {
      const size_t whole = all ? pending_.size() : CompleteUtf8Length(pending_);
      ok = WriteConsole(h, Widen(std::string_view(pending_).substr(0, whole)));
      pending_.erase(0, whole);
      return ok;
    }
  }
  return ok;
}

}  // namespace sb
