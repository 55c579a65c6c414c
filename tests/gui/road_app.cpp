#include "tests/gui/road_app.h"

#include <commctrl.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

#include "platform/win32/road_window.h"
#include "platform/win32/text.h"
#include "tests/gui/focus.h"

namespace velmora::gui {
namespace {

std::wstring BuildFolder() {
  wchar_t self[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path = self;
  for (int up = 0; up < 3; ++up) {  // <build>/tests/gui/the.exe
    path.resize(path.find_last_of(L"\\/"));
  }
  return path;
}

std::wstring FromEnvironment(const char* name, const std::wstring& otherwise) {
  const char* value = std::getenv(name);
  return value != nullptr ? win32::Widen(value) : otherwise;
}

HWND FindRoadWindow(DWORD pid) {
  for (HWND window : TopLevelWindows(pid, win32::kRoadWindowClass)) {
    if (GetDlgItem(window, win32::kTableList) != nullptr &&
        GetDlgItem(window, win32::kPlanView) != nullptr) {
      return window;
    }
  }
  return nullptr;
}

}  // namespace

std::wstring RoadExePath() { return BuildFolder() + L"\\app\\VelmoraRoad.exe"; }
std::wstring CliExePath() { return BuildFolder() + L"\\cli\\velmora-cli.exe"; }
std::wstring DataPath(const std::wstring& name) {
  // Backslashes only: the file dialogs take no other.
  std::wstring path = FromEnvironment("VELMORA_ROAD_DATA", win32::Widen(VELMORA_ROAD_DATA_DIR));
  for (wchar_t& c : path) {
    c = c == L'/' ? L'\\' : c;
  }
  return path + L"\\" + name;
}
std::wstring OutPath(const std::wstring& name) {
  const std::wstring folder = BuildFolder() + L"\\tests\\gui\\road-out";
  CreateDirectoryW(folder.c_str(), nullptr);
  return folder + L"\\" + name;
}

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(path.c_str(), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::string Console(const std::wstring& arguments, const std::wstring& folder) {
  const std::wstring out = OutPath(L"console.out");
  DeleteFileW(out.c_str());
  std::wstring command = L"\"" + CliExePath() + L"\" " + arguments + L" -o \"" + out + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info = {};
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    throw NotInTime("could not start " + win32::Narrow(CliExePath()));
  }
  const DWORD waited = WaitForSingleObject(info.hProcess, 60000);
  CloseHandle(info.hThread);
  CloseHandle(info.hProcess);
  if (waited != WAIT_OBJECT_0) {
    throw NotInTime("velmora-cli did not finish in 60 s");
  }
  return ReadBytes(out);
}

RoadApp::RoadApp(const std::wstring& file) {
  std::wstring command = L"\"" + RoadExePath() + L"\"";
  if (!file.empty()) {
    command += L" \"" + file + L"\"";
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info_)) {
    info_ = {};
    throw NotInTime("could not start " + win32::Narrow(RoadExePath()));
  }
  if (!WaitFor([this] { return (window_ = FindRoadWindow(info_.dwProcessId)) != nullptr; },
               20000ms)) {
    TerminateProcess(info_.hProcess, 1);
    throw NotInTime("VelmoraRoad.exe showed no window in 20 s");
  }
  keyboard_.emplace(window_, info_.dwProcessId, [this] { return Box().has_value(); });
  WaitForInputIdle(info_.hProcess, 5000);
}

RoadApp::~RoadApp() {
  keyboard_.reset();  // lets go of the program's input first
  for (int i = 0; i < 3 && Alive() && Box(); ++i) {
    CloseBox();
  }
  if (Alive()) {
    PostMessageW(window_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(info_.hProcess, 10000) != WAIT_OBJECT_0) {
      TerminateProcess(info_.hProcess, 1);
    }
  }
  CloseHandle(info_.hThread);
  CloseHandle(info_.hProcess);
}

bool RoadApp::Alive() const {
  return info_.hProcess != nullptr && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT;
}

void RoadApp::CloseBox() {
  if (const auto box = Box()) {
    PostMessageW(box->hwnd, WM_COMMAND, IDOK, 0);
    WaitFor([this] { return !Box().has_value(); });
  }
}

int RoadApp::Rows() const {
  return static_cast<int>(SendMessageW(Control(win32::kTableList), LVM_GETITEMCOUNT, 0, 0));
}

void RoadApp::WaitForRows(int rows) {
  if (!WaitFor([&] { return Rows() == rows; }, 20000ms)) {
    throw NotInTime("the table has " + std::to_string(Rows()) + " rows, not " +
                    std::to_string(rows));
  }
}

void RoadApp::SetText(int id, const std::string& utf8) {
  const std::wstring wide = win32::Widen(utf8);
  SendMessageW(Control(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void RoadApp::Focus(int id) {
  keyboard_->Foreground();
  if (!WaitFor([&] {
        if (FocusedWindow(window_) == Control(id)) {
          return true;
        }
        keyboard_->Foreground();
        SetFocus(Control(id));
        return false;
      })) {
    throw NotInTime("control " + std::to_string(id) + " took no focus");
  }
}

void RoadApp::ChooseFile(const std::wstring& path) {
  // The file dialog: a dialog of the program's with a file name field, the
  // combo box cmb13 (0x47C) or the edit edt1 (0x480).
  HWND dialog = nullptr;
  HWND name = nullptr;
  if (!WaitFor(
          [&] {
            for (HWND w : TopLevelWindows(info_.dwProcessId, kMessageBoxClass)) {
              name = GetDlgItem(w, 0x47C) != nullptr ? GetDlgItem(w, 0x47C) : GetDlgItem(w, 0x480);
              if (name != nullptr) {
                dialog = w;
                return true;
              }
            }
            return false;
          },
          20000ms)) {
    throw NotInTime("no file dialog came up");
  }
  SendMessageW(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path.c_str()));
  PostMessageW(dialog, WM_COMMAND, IDOK, 0);
  if (!WaitFor([&] { return !IsWindow(dialog); }, 20000ms)) {
    throw NotInTime("the file dialog stayed up");
  }
}

std::string ClipboardText() {
  std::string text;
  if (!OpenClipboard(nullptr)) {
    return text;
  }
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
      text = win32::Narrow(wide);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  return text;
}

}  // namespace velmora::gui
