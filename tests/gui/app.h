// Drives a running Velmora.exe from another process, as a user would:
// texts through WM_SETTEXT/WM_GETTEXT, clicks, real key presses, message
// boxes read and closed, screenshots. Controls are named by the design
// table; every wait polls with a timeout.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "tests/gui/discovery.h"
#include "tests/gui/input.h"
#include "tests/gui/process.h"
#include "tests/gui/wait.h"
#include "window/design.h"
#include "window/fields.h"

namespace velmora::gui {

class App {
 public:
  App();  // starts Velmora.exe and waits for its window
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  HWND Window() const { return process_.Window(); }
  HWND Control(const ControlDesign& design) const { return GetDlgItem(Window(), design.id); }
  HWND Control(Field field) const { return Control(ControlForField(field)); }
  bool Alive() const { return process_.Alive(); }

  std::string Text(const ControlDesign& design) const { return WindowText(Control(design)); }
  std::string Text(Field field) const { return Text(ControlForField(field)); }
  void SetText(Field field, const std::string& text);    // as an edit: the field's rules run
  void FillInputs(const std::vector<std::string>& six);  // in the order of kInputFields

  // Clicks 计算 and returns once the command has finished or a message box
  // is up (then read it with Box()).
  void Click();
  std::optional<MessageBoxInfo> Box() const { return ReadMessageBox(process_.Id()); }
  int OpenBoxes() const { return CountMessageBoxes(process_.Id()); }
  void CloseBox();  // presses OK and waits until the command has finished

  // Keyboard: the window is brought to the foreground first.
  void Type(const std::string& utf8) { keyboard_.Type(utf8); }
  void Key(WORD vk, bool shift = false) { keyboard_.Key(vk, shift); }
  void Ctrl(WORD vk) { keyboard_.Ctrl(vk); }
  void Sync() { keyboard_.Sync(); }

  // The design of the control with the focus, or null.
  const ControlDesign* Focused() const;
  // Its name, "" if no control of the design has the focus.
  std::string FocusedName() const;
  void SetFocusTo(Field field);  // as a click into the control would
  std::pair<int, int> Selection(Field field) const;
  static bool SetClipboard(const std::string& utf8);

  // Closes the window and returns the process's exit code.
  DWORD Close() { return process_.Close(); }
  // Saves the window as it is on the screen, as a .bmp.
  bool Screenshot(const std::string& path) const;

 private:
  // Destroyed in reverse: the keyboard lets go, the process ends, and only
  // then is the thread of a press that a box held joined.
  ButtonPress press_;
  Process process_;
  Keyboard keyboard_;
};

}  // namespace velmora::gui
