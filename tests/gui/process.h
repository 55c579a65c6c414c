// The lifetime of one Velmora.exe process: started, its window found, closed
// (or, failing that, ended) when the test is done with it.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

#include "tests/gui/wait.h"

namespace velmora::gui {

// The path of Velmora.exe: VELMORA_EXE, or the build's own beside the tests.
std::wstring ExePath();

// Thrown when the program gives no complete window in time: what the driver
// saw then (the process's windows, whether it still runs, a screenshot).
// A test stops there instead of going on without a window.
class NoWindow : public NotInTime {
 public:
  using NotInTime::NotInTime;
};

class Process {
 public:
  // Starts Velmora.exe and waits for its window with every control of the
  // design; throws NoWindow if none comes.
  Process();
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  HWND Window() const { return window_; }
  DWORD Id() const { return info_.dwProcessId; }
  bool Alive() const;
  // Closes the window and returns the process's exit code (STILL_ACTIVE if
  // it did not end in time).
  DWORD Close();

 private:
  // What was seen when no complete window came, with a screenshot.
  std::string Report(const char* what, double waited_ms) const;
  // Closes the window, or ends the process, and lets go of its handles.
  void End();

  PROCESS_INFORMATION info_ = {};
  HWND window_ = nullptr;
};

}  // namespace velmora::gui
