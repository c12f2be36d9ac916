// scenario-builder.exe, a GUI program: started from the desktop it opens no console.
#include "driver/entry.h"
#include "io/win32_text.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  return sb::WindowsMain(sb::WindowsProgram::kWindowed);
}
