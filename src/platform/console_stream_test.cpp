// The stream buffer of standard output and error on Windows (the file is empty elsewhere).
#ifdef _WIN32
#include "platform/console_stream.h"

#include <gtest/gtest.h>

#include <ostream>

#include "io/win32_text.h"

namespace sb {
namespace {

const std::string kMessage = "pend\xC3\xA8nza 12 \xE2\x80\xB0, Citt\xC3\xA0 \xE2\x82\xAC";  // ‰ €

// A pipe, as when the output is piped or captured: the UTF-8 bytes, unchanged.
TEST(OutputBuffer, APipeGetsTheUtf8Bytes) {
  HANDLE read_end = nullptr, write_end = nullptr;
  ASSERT_TRUE(::CreatePipe(&read_end, &write_end, nullptr, 1 << 16));
  EXPECT_EQ(KindOfOutput(write_end), OutputKind::kBytes);
  {
    OutputBuffer buffer(write_end);
    std::ostream out(&buffer);
    out << kMessage << '\n';
  }
  ::CloseHandle(write_end);
  std::string got;
  char buf[256];
  DWORD n = 0;
  while (::ReadFile(read_end, buf, sizeof buf, &n, nullptr) && n > 0) got.append(buf, n);
  ::CloseHandle(read_end);
  EXPECT_EQ(got, kMessage + "\n");
}

TEST(OutputBuffer, NoHandleDropsTheOutput) {
  EXPECT_EQ(KindOfOutput(nullptr), OutputKind::kNone);
  EXPECT_EQ(KindOfOutput(INVALID_HANDLE_VALUE), OutputKind::kNone);
  OutputBuffer buffer(nullptr);
  std::ostream out(&buffer);
  out << kMessage << std::flush;
  EXPECT_TRUE(out.good());
}

// A console: the characters themselves reach the screen, whatever the console's code page,
// also when a character is split between two writes.
TEST(OutputBuffer, AConsoleShowsTheCharacters) {
  // A screen buffer of its own, on the console of the tests or on a new one.
  auto new_screen = [] {
    return ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                       CONSOLE_TEXTMODE_BUFFER, nullptr);
  };
  HANDLE screen = new_screen();
  if (screen == INVALID_HANDLE_VALUE && ::AllocConsole()) screen = new_screen();
  if (screen == INVALID_HANDLE_VALUE) GTEST_SKIP() << "no console to write to";
  const UINT code_page = ::GetConsoleOutputCP();
  ::SetConsoleOutputCP(437);
  EXPECT_EQ(KindOfOutput(screen), OutputKind::kConsole);
  {
    OutputBuffer buffer(screen);
    std::ostream out(&buffer);
    out << kMessage.substr(0, 5) << std::flush;  // "pend" and the first byte of è
    out << kMessage.substr(5) << std::flush;
  }
  const std::wstring expected = Widen(kMessage);
  std::wstring shown(expected.size(), L'\0');
  DWORD n = 0;
  ASSERT_TRUE(::ReadConsoleOutputCharacterW(screen, shown.data(), static_cast<DWORD>(shown.size()),
                                            COORD{0, 0}, &n));
  shown.resize(n);
  ::SetConsoleOutputCP(code_page);
  ::CloseHandle(screen);
  EXPECT_EQ(Narrow(shown), kMessage);
}

}  // namespace
}  // namespace sb
#endif  // _WIN32
