// Test program of the Windows build, for CI and for the screenshots of the documentation.
//
//   win-shots shots DIR   Shows the wait window, then the " Errore n. 1250" box, through
//                         the same backend as the product. For each it prints what it
//                         shows and its place on the screen ("window-rect", "box-rect"),
//                         and holds it until the file DIR\go-window or DIR\go-box appears
//                         (30 s at most), so that a screenshot can be taken from outside.
//   win-shots answer EXE  Starts EXE without arguments from the current folder, prints the
//                         client size of its wait window, waits for its message box (if
//                         any), prints what it shows, presses OK, and ends with the
//                         program's exit code, which it prints too.
//
// Every line printed is "key: value".
#include <fcntl.h>
#include <io.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "io/win32_text.h"

#include <shellapi.h>
#include "model/run_errors.h"
#include "platform/platform.h"

namespace {

void Print(const std::string& key, const std::string& value) {
  std::string line = key + ": " + value + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  std::fflush(stdout);
}

std::string Text(HWND w) {
  wchar_t buf[1024];
  int n = ::GetWindowTextW(w, buf, 1024);
  return sb::Narrow(std::wstring(buf, static_cast<size_t>(n)));
}

std::string ClassOf(HWND w) {
  wchar_t buf[256];
  int n = ::GetClassNameW(w, buf, 256);
  return sb::Narrow(std::wstring(buf, static_cast<size_t>(n)));
}

std::string RectText(HWND w) {
  RECT r{};
  ::GetWindowRect(w, &r);
  return std::to_string(r.left) + " " + std::to_string(r.top) + " " +
         std::to_string(r.right - r.left) + " " + std::to_string(r.bottom - r.top);
}

bool FileExists(const std::string& path) {
  return ::GetFileAttributesW(sb::Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Lets the window system draw what is pending, for `ms` milliseconds.
void Pump(int ms) {
  auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&m);
      ::DispatchMessageW(&m);
    }
    ::Sleep(20);
  }
}

struct Search {
  DWORD pid;
  std::string cls;
  HWND found;
};

BOOL CALLBACK FindTopLevel(HWND w, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(w, &pid);
  if (pid == s->pid && ::IsWindowVisible(w) && ClassOf(w) == s->cls) {
    s->found = w;
    return FALSE;
  }
  return TRUE;
}

HWND FindWindowOf(DWORD pid, const std::string& cls) {
  Search s{pid, cls, nullptr};
  ::EnumWindows(FindTopLevel, reinterpret_cast<LPARAM>(&s));
  return s.found;
}

struct Controls {
  int buttons = 0;
  int icons = 0;
};

BOOL CALLBACK CountControls(HWND w, LPARAM lp) {
  auto* c = reinterpret_cast<Controls*>(lp);
  std::string cls = ClassOf(w);
  if (!::IsWindowVisible(w)) return TRUE;
  if (cls == "Button") ++c->buttons;
  if (cls == "Static" && (::GetWindowLongW(w, GWL_STYLE) & SS_TYPEMASK) == SS_ICON &&
      ::SendMessageW(w, STM_GETICON, 0, 0) != 0)
    ++c->icons;
  return TRUE;
}

// Reports a message box, waits for `go` (if any), and presses its OK button.
void AnswerBox(HWND box, const std::string& go) {
  Controls c;
  ::EnumChildWindows(box, CountControls, reinterpret_cast<LPARAM>(&c));
  wchar_t text[2048];
  int n = ::GetDlgItemTextW(box, 0xFFFF, text, 2048);
  Print("box-title", Text(box));
  Print("box-text", sb::Narrow(std::wstring(text, static_cast<size_t>(n))));
  std::string buttons = std::to_string(c.buttons);
  if (c.buttons == 1) buttons.append(" ").append(Text(::GetDlgItem(box, IDOK)));
  Print("box-buttons", buttons);
  Print("box-icon", c.icons ? "yes" : "no");
  Print("box-rect", RectText(box));
  for (int waited = 0; !go.empty() && !FileExists(go) && waited < 30000; waited += 50) ::Sleep(50);
  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(::GetDlgItem(box, IDOK)));
}

constexpr char kFormClass[] = "ScenarioBuilderForm1";

std::string ClientText(HWND w) {
  RECT client{};
  ::GetClientRect(w, &client);
  return std::to_string(client.right) + "x" + std::to_string(client.bottom);
}

// Waits for a message box of process `pid`; gives up when `process` (if any) ends first.
// Notes the client size of the wait window if it shows meanwhile.
HWND WaitForBox(DWORD pid, HANDLE process, int timeout_ms, std::string* window = nullptr) {
  for (int waited = 0; waited < timeout_ms; waited += 20) {
    if (window && window->empty())
      if (HWND form = FindWindowOf(pid, kFormClass)) *window = ClientText(form);
    if (HWND box = FindWindowOf(pid, "#32770")) {
      ::Sleep(500);  // let it paint
      return box;
    }
    if (process && ::WaitForSingleObject(process, 20) == WAIT_OBJECT_0) return nullptr;
    if (!process) ::Sleep(20);
  }
  return nullptr;
}

int Shots(const std::string& dir) {
  auto platform = sb::MakePlatform();
  platform->ShowWaitWindow();
  HWND form = FindWindowOf(::GetCurrentProcessId(), kFormClass);
  if (!form) {
    Print("window", "not shown");
    return 1;
  }
  Pump(500);
  Print("window-title", Text(form));
  Print("window-client", ClientText(form));
  Print("window-rect", RectText(form));
  const std::string go = dir + "\\go-window";
  for (int waited = 0; !FileExists(go) && waited < 30000; waited += 50) Pump(50);

  std::atomic<bool> answered{false};
  std::thread watcher([&] {
    if (HWND box = WaitForBox(::GetCurrentProcessId(), nullptr, 20000)) {
      AnswerBox(box, dir + "\\go-box");
      answered = true;
    }
  });
  platform->ShowMessage(sb::StampPlaceTaken("1250").what());
  watcher.join();
  return answered ? 0 : 1;
}

int Answer(const std::string& exe) {
  std::wstring cmd = L"\"" + sb::Widen(exe) + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi)) {
    Print("start", sb::SystemErrorText(::GetLastError()));
    return 1;
  }
  std::string window;
  HWND box = WaitForBox(pi.dwProcessId, pi.hProcess, 120000, &window);
  Print("window-client", window.empty() ? "not seen" : window);
  if (box) AnswerBox(box, "");
  else Print("box", "none");
  DWORD code = 1;
  if (::WaitForSingleObject(pi.hProcess, 60000) == WAIT_OBJECT_0) {
    ::GetExitCodeProcess(pi.hProcess, &code);
    Print("exit-code", std::to_string(code));
  } else {
    Print("exit-code", "still running");
    ::TerminateProcess(pi.hProcess, 1);
  }
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return static_cast<int>(code);
}

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);  // "\n" line ends, as a script reading them expects
  // The arguments in UTF-16, so that a folder of any name can be given (argv is in the ANSI
  // code page).
  int argc = 0;
  wchar_t** wargv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 0; i < argc; ++i) args.push_back(sb::Narrow(wargv[i]));
  if (wargv) ::LocalFree(wargv);
  if (args.size() == 3 && args[1] == "shots") return Shots(args[2]);
  if (args.size() == 3 && args[1] == "answer") return Answer(args[2]);
  std::fputs("usage: win-shots shots DIR | win-shots answer EXE\n", stderr);
  return 2;
}
