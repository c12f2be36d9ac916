// scenario-builder.com, the console companion of scenario-builder.exe: the same program as a
// console one, so that cmd and PowerShell wait for it and see its exit status.
#include "driver/entry.h"

int main() { return sb::WindowsMain(sb::WindowsProgram::kConsole); }
