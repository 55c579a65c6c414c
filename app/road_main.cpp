// VelmoraRoad: a whole road in a window: its plan, its station table, the
// points located on it, its curve tables.
#include <string>

#include "platform/win32/road_window.h"

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
