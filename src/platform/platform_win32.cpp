// Windows backend: the wait window with its one label, the modal message box, and the
// directory of the executable.
#include <cstdio>
#include <memory>
#include <string>

#include "io/win32_text.h"
#include "platform/platform.h"

namespace sb {
namespace {

constexpr wchar_t kWindowClass[] = L"ScenarioBuilderForm1";
constexpr wchar_t kTitle[] = L"scenario-builder";

// The form and its label Label1, in twips (1440 to the inch).
constexpr int kClientWidthTwips = 4200;
constexpr int kClientHeightTwips = 2688;
constexpr int kLabelLeftTwips = 960;
constexpr int kLabelTopTwips = 960;
constexpr int kLabelWidthTwips = 2652;
constexpr int kLabelHeightTwips = 792;
constexpr wchar_t kLabelCaption[] = L"Attendere";
constexpr wchar_t kLabelFace[] = L"MS Sans Serif";
constexpr int kLabelPoints = 24;

int TwipsToPixels(int twips, int dpi) { return ::MulDiv(twips, dpi, 1440); }

struct WindowState {
  HFONT font = nullptr;
  RECT label{};
};

LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_NCCREATE) {
    auto* cs = reinterpret_cast<CREATESTRUCTW*>(lp);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(cs->lpCreateParams));
  }
  auto* state = reinterpret_cast<WindowState*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_PAINT && state) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    HGDIOBJ old = ::SelectObject(dc, state->font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_BTNTEXT));
    RECT r = state->label;
    ::DrawTextW(dc, kLabelCaption, -1, &r, DT_LEFT | DT_TOP | DT_WORDBREAK);
    ::SelectObject(dc, old);
    ::EndPaint(hwnd, &ps);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wp, lp);
}

class Win32Platform : public Platform {
 public:
  ~Win32Platform() override {
    if (window_) ::DestroyWindow(window_);
    if (state_.font) ::DeleteObject(state_.font);
  }

  // Shown and painted once; the run that follows handles no messages until it ends.
  void ShowWaitWindow() override {
    if (window_) return;
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = FormProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    // The program's icon (resource 1), in the title bar and the task bar; none in a program
    // without it.
    wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = kWindowClass;
    ::RegisterClassExW(&wc);

    HDC screen = ::GetDC(nullptr);
    int dpi_x = ::GetDeviceCaps(screen, LOGPIXELSX);
    int dpi_y = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);

    state_.label.left = TwipsToPixels(kLabelLeftTwips, dpi_x);
    state_.label.top = TwipsToPixels(kLabelTopTwips, dpi_y);
    state_.label.right = state_.label.left + TwipsToPixels(kLabelWidthTwips, dpi_x);
    state_.label.bottom = state_.label.top + TwipsToPixels(kLabelHeightTwips, dpi_y);
    state_.font = ::CreateFontW(-::MulDiv(kLabelPoints, dpi_y, 72), 0, 0, 0, FW_BOLD, FALSE, FALSE,
                                FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, kLabelFace);

    const DWORD style = WS_OVERLAPPEDWINDOW;
    RECT frame{0, 0, TwipsToPixels(kClientWidthTwips, dpi_x),
               TwipsToPixels(kClientHeightTwips, dpi_y)};
    ::AdjustWindowRectEx(&frame, style, FALSE, 0);
    window_ = ::CreateWindowExW(0, kWindowClass, kTitle, style, CW_USEDEFAULT, CW_USEDEFAULT,
                                frame.right - frame.left, frame.bottom - frame.top, nullptr,
                                nullptr, instance, &state_);
    if (!window_) return;
    ::ShowWindow(window_, SW_SHOWDEFAULT);
    ::UpdateWindow(window_);
    ::GdiFlush();
  }

  void ShowMessage(const std::string& text) override {
    if (::MessageBoxW(window_, Widen(text).c_str(), kTitle, MB_OK) == 0) {
      // No desktop to show it on (a service, a session without one): keep it on stderr.
      std::fputs((text + "\n").c_str(), stderr);
    }
  }

  std::string ExecutableDirectory() override {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
      DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
      if (n == 0) return ".";
      if (n < path.size()) {
        path.resize(n);
        break;
      }
      path.resize(path.size() * 2);
    }
    size_t sep = path.find_last_of(L"\\/");
    if (sep == std::wstring::npos) return ".";
    return Narrow(path.substr(0, sep));
  }

  char PathSeparator() const override { return '\\'; }

 private:
  HWND window_ = nullptr;
  WindowState state_;
};

}  // namespace

std::unique_ptr<Platform> MakePlatform() { return std::make_unique<Win32Platform>(); }

}  // namespace sb
