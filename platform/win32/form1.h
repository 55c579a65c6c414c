// The real Form1: Win32 controls built from the design table, the field
// operations the commands and rules work through, and the message loop.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace velmora::win32 {

// Creates Form1, shows it centred on the screen with the focus on Textka,
// and runs the message loop until the window is closed. Returns the exit
// code (0).
int RunForm1(HINSTANCE instance);

}  // namespace velmora::win32
