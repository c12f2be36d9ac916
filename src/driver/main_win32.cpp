// Entry point of the Windows build. The program is a GUI one: started from the desktop
// it opens no console. The authoring commands print to the console of the shell that
// started them, and whatever was redirected to a file or a pipe stays redirected.
#include <cstdio>
#include <string>
#include <vector>

#include "driver/entry.h"
#include "io/win32_text.h"

#include <shellapi.h>

namespace {

bool HasStream(DWORD which) {
  HANDLE h = ::GetStdHandle(which);
  return h != nullptr && h != INVALID_HANDLE_VALUE && ::GetFileType(h) != FILE_TYPE_UNKNOWN;
}

void UseParentConsole() {
  const bool in = HasStream(STD_INPUT_HANDLE);
  const bool out = HasStream(STD_OUTPUT_HANDLE);
  const bool err = HasStream(STD_ERROR_HANDLE);
  if (in && out && err) return;
  if (!::AttachConsole(ATTACH_PARENT_PROCESS)) return;
  if (!out) std::freopen("CONOUT$", "w", stdout);
  if (!err) std::freopen("CONOUT$", "w", stderr);
  if (!in) std::freopen("CONIN$", "r", stdin);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  int argc = 0;
  wchar_t** wargv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(sb::Narrow(wargv[i]));
  if (wargv) ::LocalFree(wargv);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  if (args.size() > 1) UseParentConsole();
  return sb::Main(static_cast<int>(args.size()), argv.data());
}
