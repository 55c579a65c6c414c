// The lifetime of one Velmora.exe process: started, its window found, closed
// (or, failing that, ended) when the test is done with it.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace velmora::gui {

// The path of Velmora.exe: VELMORA_EXE, or the build's own beside the tests.
std::wstring ExePath();

class Process {
 public:
  Process();  // starts Velmora.exe and waits for its window and controls
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
  PROCESS_INFORMATION info_ = {};
  HWND window_ = nullptr;
};

}  // namespace velmora::gui
