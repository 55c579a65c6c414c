// Drives a running VelmoraRoad.exe from another process: started with a
// road on its command line, its controls found by id, texts set as an
// edit's, keys pressed, the clipboard and the save dialog used as a user
// would. Every wait polls with a timeout.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tests/gui/discovery.h"
#include "tests/gui/input.h"
#include "tests/gui/wait.h"

namespace velmora::gui {

// Paths inside the build: VelmoraRoad.exe, velmora-cli.exe, the tests'
// road files (tests/gui/data) and a folder for what they write.
std::wstring RoadExePath();
std::wstring CliExePath();
std::wstring DataPath(const std::wstring& name);
std::wstring OutPath(const std::wstring& name);

// Runs velmora-cli.exe with `arguments` and `-o OUT` in `folder` (when
// given); the bytes of OUT.
std::string Console(const std::wstring& arguments, const std::wstring& folder = L"");
std::string ReadBytes(const std::wstring& path);

class RoadApp {
 public:
  // Starts VelmoraRoad.exe with `file` (when not empty) and waits for its
  // window; throws NotInTime if none comes.
  explicit RoadApp(const std::wstring& file);
  ~RoadApp();
  RoadApp(const RoadApp&) = delete;
  RoadApp& operator=(const RoadApp&) = delete;

  HWND Window() const { return window_; }
  DWORD Id() const { return info_.dwProcessId; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  bool Alive() const;
  std::optional<MessageBoxInfo> Box() const { return ReadMessageBox(info_.dwProcessId); }
  void CloseBox();

  // The table's rows (0 until a road is shown).
  int Rows() const;
  // Waits until the table has `rows` rows.
  void WaitForRows(int rows);
  // Sets a field's text as an edit would (its change runs at once).
  void SetText(int id, const std::string& utf8);
  std::string Text(int id) const { return WindowText(Control(id)); }
  void Focus(int id);
  void Ctrl(WORD vk) { keyboard_->Ctrl(vk); }
  void Key(WORD vk, bool shift = false) { keyboard_->Key(vk, shift); }
  void Sync() { keyboard_->Sync(); }
  // Enters `path` in the program's open or save dialog once it is up, and
  // presses its OK button.
  void ChooseFile(const std::wstring& path);

 private:
  PROCESS_INFORMATION info_ = {};
  HWND window_ = nullptr;
  std::optional<Keyboard> keyboard_;  // once the window is there
};

// The clipboard's Unicode text as UTF-8 ("" when it holds none).
std::string ClipboardText();

}  // namespace velmora::gui
