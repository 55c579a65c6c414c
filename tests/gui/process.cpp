#include "tests/gui/process.h"

#include <cstdlib>

#include "platform/win32/text.h"
#include "tests/gui/discovery.h"
#include "tests/gui/wait.h"
#include "window/design.h"

namespace velmora::gui {

std::wstring ExePath() {
  if (const char* path = std::getenv("VELMORA_EXE")) {
    return win32::Widen(path);
  }
  // The build puts the tests in <build>/tests/gui and the exe in <build>/app.
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  for (int up = 0; up < 3; ++up) {
    path.resize(path.find_last_of(L"\\/"));
  }
  return path + L"\\app\\Velmora.exe";
}

Process::Process() {
  std::wstring command = L"\"" + ExePath() + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info_)) {
    return;
  }
  // Ready once every control of the design is there.
  const auto complete = [this] {
    for (const ControlDesign& c : Form1Controls()) {
      if (GetDlgItem(window_, c.id) == nullptr) {
        return false;
      }
    }
    return true;
  };
  WaitFor(
      [&] {
        const auto windows = TopLevelWindows(info_.dwProcessId, kForm1Class);
        window_ = windows.empty() ? nullptr : windows.front();
        return window_ != nullptr && complete();
      },
      20000ms);
  // The window is shown before it is activated and its first control has
  // the focus; wait until the program is ready for input.
  WaitForInputIdle(info_.hProcess, 5000);
}

Process::~Process() {
  if (Alive()) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info_.hProcess, 5000) != WAIT_OBJECT_0) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 5000);
    }
  }
  if (info_.hProcess != nullptr) {
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
}

bool Process::Alive() const {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

DWORD Process::Close() {
  PostMessageW(window_, WM_CLOSE, 0, 0);
  DWORD code = STILL_ACTIVE;
  if (WaitForSingleObject(info_.hProcess, 10000) == WAIT_OBJECT_0) {
    GetExitCodeProcess(info_.hProcess, &code);
  }
  return code;
}

}  // namespace velmora::gui
