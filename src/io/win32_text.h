// Windows keeps file names and window texts in UTF-16; the engine keeps UTF-8 strings.
// Conversions at the boundary, and the system's description of an error code.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// <windows.h> maps ReplaceFile to ReplaceFileA/W, which would rename FileSystem::ReplaceFile.
#undef ReplaceFile

#include <string>
#include <string_view>

namespace sb {

inline std::wstring Widen(std::string_view utf8) {
  if (utf8.empty()) return std::wstring();
  int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

inline std::string Narrow(std::wstring_view wide) {
  if (wide.empty()) return std::string();
  int n = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                                nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                        nullptr, nullptr);
  return out;
}

// "Access is denied. (error 5)": the system's text for `code`, with the number.
inline std::string SystemErrorText(DWORD code) {
  wchar_t* buf = nullptr;
  DWORD n = ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                 FORMAT_MESSAGE_IGNORE_INSERTS,
                             nullptr, code, 0, reinterpret_cast<wchar_t*>(&buf), 0, nullptr);
  std::wstring text = n && buf ? std::wstring(buf, n) : std::wstring();
  if (buf) ::LocalFree(buf);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
    text.pop_back();
  std::string number = "(error " + std::to_string(code) + ")";
  return text.empty() ? number : Narrow(text) + " " + number;
}

}  // namespace sb
