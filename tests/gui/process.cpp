#include "tests/gui/process.h"

#include <chrono>
#include <cstdlib>
#include <sstream>

#include "platform/win32/text.h"
#include "tests/gui/discovery.h"
#include "tests/gui/screenshot.h"
#include "tests/gui/wait.h"
#include "window/design.h"

namespace velmora::gui {
namespace {

// The folder for what a failed start leaves behind: VELMORA_FAILURE_DIR
// (the build's screenshot folder), or else the folder of the tests.
std::wstring FailureFolder() {
  if (const char* dir = std::getenv("VELMORA_FAILURE_DIR")) {
    return win32::Widen(dir);
  }
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  path.resize(path.find_last_of(L"\\/"));
  return path;
}

// The window is complete once every control of the design is on it.
bool Complete(HWND window) {
  for (const ControlDesign& c : Form1Controls()) {
    if (GetDlgItem(window, c.id) == nullptr) {
      return false;
    }
  }
  return true;
}

BOOL CALLBACK CountForms(HWND hwnd, LPARAM count) {
  if (ClassName(hwnd) == kForm1Class) {
    ++*reinterpret_cast<std::size_t*>(count);
  }
  return TRUE;
}

}  // namespace

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
  const auto start = std::chrono::steady_clock::now();
  const auto waited_ms = [&start] {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
  };
  std::wstring command = L"\"" + ExePath() + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info_)) {
    const DWORD error = GetLastError();
    info_ = {};
    throw NoWindow("could not start " + win32::Narrow(ExePath()) + ": error " +
                   std::to_string(error));
  }
  // Ready once a visible window of Form1's class has every control of the
  // design. The program shows its window only after making them all, so a
  // window without them is a fault worth reporting, not one to wait out.
  bool ended = false;
  const bool found = WaitFor(
      [&] {
        for (HWND window : TopLevelWindows(info_.dwProcessId, kForm1Class)) {
          if (Complete(window)) {
            window_ = window;
            return true;
          }
        }
        ended = !Alive();
        return ended;
      },
      20000ms);
  if (!found || ended) {
    std::string report =
        Report(ended ? "ended without showing its window" : "showed no complete window in 20 s",
               waited_ms());
    End();
    throw NoWindow(report);
  }
  // The window is shown before it is activated and its first control has
  // the focus; wait until the program is ready for input.
  WaitForInputIdle(info_.hProcess, 5000);
}

std::string Process::Report(const char* what, double waited_ms) const {
  std::ostringstream out;
  const std::string exe = win32::Narrow(ExePath());
  out << exe.substr(exe.find_last_of("\\/") + 1) << " (process " << info_.dwProcessId << ") "
      << what << " (waited " << static_cast<long>(waited_ms) << " ms); ";
  DWORD code = STILL_ACTIVE;
  if (Alive()) {
    out << "the process still runs";
  } else {
    GetExitCodeProcess(info_.hProcess, &code);
    out << "the process has ended with exit code " << code << " (0x" << std::hex << code << std::dec
        << ")";
  }
  const auto windows = AllTopLevelWindows(info_.dwProcessId);
  out << "; it has " << windows.size() << " top-level windows";
  for (HWND window : windows) {
    out << "\n  " << DescribeWindow(window)
        << (IsHungAppWindow(window) ? ", not answering messages" : "");
  }
  std::size_t all_forms = 0;
  EnumWindows(CountForms, reinterpret_cast<LPARAM>(&all_forms));
  out << "\n  windows of Form1's class of any process: " << all_forms;
  const std::string shot =
      win32::Narrow(FailureFolder()) + "\\no-window-" + std::to_string(info_.dwProcessId) + ".bmp";
  if (SaveWindowBitmap(GetDesktopWindow(), shot)) {
    out << "\n  the screen then: " << shot;
  } else {
    out << "\n  no screenshot could be saved to " << shot;
  }
  return out.str();
}

void Process::End() {
  if (Alive()) {
    if (window_ != nullptr) {
      PostMessageW(window_, WM_CLOSE, 0, 0);
    }
    if (window_ == nullptr || WaitForSingleObject(info_.hProcess, 5000) != WAIT_OBJECT_0) {
      TerminateProcess(info_.hProcess, 1);
      WaitForSingleObject(info_.hProcess, 5000);
    }
  }
  if (info_.hProcess != nullptr) {
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
    info_.hProcess = nullptr;
    info_.hThread = nullptr;
  }
}

Process::~Process() { End(); }

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
