// VelmoraRoad: a whole road in a window: its plan, its station table, the
// points located on it, its curve tables.
#include <cstdlib>
#include <string>

#include "platform/win32/road_window.h"

// What the C++ runtime does with an exception nobody catches: by default it
// writes the exception's type, demangled, on standard error before it
// aborts. A window program has no standard error to write on, and the
// demangler is 45 KB of the exe; this program aborts as the runtime would,
// without the words. (Nothing in the program catches an exception: see
// app/CMakeLists.txt.)
namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx

// CommandLineToArgvW; after windows.h, which road_window.h includes.
#include <shellapi.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE /*previous*/, PWSTR /*command_line*/,
                    int /*show*/) {
  // The road to open: the first argument, when there is one.
  std::wstring file;
  int count = 0;
  if (wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
    if (count > 1) {
      file = arguments[1];
    }
    LocalFree(arguments);
  }
  return velmora::win32::RunRoadWindow(instance, file);
}
