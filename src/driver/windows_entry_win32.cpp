// What the two Windows programs share: the command line read in UTF-16, standard output and
// error on the console or on what they were redirected to, and the default run of the
// console companion, which is the windowed program's.
#include <ostream>
#include <string>
#include <vector>

#include "authoring/command_io.h"
#include "driver/entry.h"
#include "driver/windows_command_line.h"
#include "io/win32_text.h"
#include "platform/console_stream.h"

namespace sb {
namespace {

// A standard handle, or the console of the process that started this one when it has none
// (a GUI program started from a console gets no handles; a redirection gives it some).
HANDLE OutputHandle(DWORD which, bool use_parent_console) {
  HANDLE h = ::GetStdHandle(which);
  if (h != nullptr && h != INVALID_HANDLE_VALUE && ::GetFileType(h) != FILE_TYPE_UNKNOWN)
    return h;
  if (!use_parent_console) return nullptr;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS) && ::GetLastError() != ERROR_ACCESS_DENIED)
    return nullptr;  // ERROR_ACCESS_DENIED: attached already, for the other stream
  h = ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
  return h == INVALID_HANDLE_VALUE ? nullptr : h;
}

std::wstring ThisProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return std::wstring();
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

// The default run from the console: scenario-builder.exe beside this program, waited for.
int StartWindowedProgram(std::ostream& err) {
  std::wstring exe = ThisProgramPath();
  const size_t dot = exe.find_last_of(L".\\/");
  if (dot != std::wstring::npos && exe[dot] == L'.') exe.resize(dot);
  exe += L".exe";
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(exe.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &si, &pi)) {
    err << kProgramName << ": cannot start " << Narrow(exe) << ", which makes the scenario: "
        << SystemErrorText(::GetLastError()) << "\n";
    return kExitFailed;
  }
  ::CloseHandle(pi.hThread);
  ::WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD status = kExitFailed;
  ::GetExitCodeProcess(pi.hProcess, &status);
  ::CloseHandle(pi.hProcess);
  return static_cast<int>(status);
}

}  // namespace

int WindowsMain(WindowsProgram program) {
  std::vector<std::string> args = SplitWindowsCommandLine(Narrow(::GetCommandLineW()));
  if (!args.empty()) args.erase(args.begin());
  const bool windowed = program == WindowsProgram::kWindowed;
  // The default run of the windowed program shows its window and writes to no stream.
  const bool uses_streams = !(windowed && args.empty());
  OutputBuffer out_buffer(uses_streams ? OutputHandle(STD_OUTPUT_HANDLE, windowed) : nullptr);
  OutputBuffer err_buffer(uses_streams ? OutputHandle(STD_ERROR_HANDLE, windowed) : nullptr);
  std::ostream out(&out_buffer);
  std::ostream err(&err_buffer);
  // Messages show as they come; results to a console too, in their order among them.
  err << std::unitbuf;
  if (out_buffer.kind() == OutputKind::kConsole) out << std::unitbuf;
  if (!windowed && args.empty()) return StartWindowedProgram(err);
  return Main(args, out, err);
}

}  // namespace sb
