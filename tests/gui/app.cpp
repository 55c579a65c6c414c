#include "tests/gui/app.h"

#include "platform/win32/text.h"
#include "tests/gui/focus.h"
#include "tests/gui/form_facts.h"
#include "tests/gui/screenshot.h"

namespace velmora::gui {

App::App() : keyboard_(Window(), process_.Id(), [this] { return OpenBoxes() > 0; }) {}

App::~App() {
  for (int i = 0; i < 3 && Alive() && OpenBoxes() > 0; ++i) {
    CloseBox();
  }
}

void App::SetText(Field field, const std::string& text) {
  const std::wstring wide = win32::Widen(text);
  SendMessageW(Control(field), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
}

void App::FillInputs(const std::vector<std::string>& six) {
  for (std::size_t i = 0; i < six.size() && i < kInputFields.size(); ++i) {
    SetText(kInputFields[i], six[i]);
  }
}

void App::Click() {
  press_.Press(Control(CommandButton()), [this] { return OpenBoxes() > 0; });
}

void App::CloseBox() {
  if (const auto box = Box()) {
    PostMessageW(box->hwnd, WM_COMMAND, IDOK, 0);
    WaitFor([this] { return OpenBoxes() == 0; });
  }
  // The command goes on after the box; wait until it has finished.
  press_.Finish([this] { return OpenBoxes() > 0; });
}

const ControlDesign* App::Focused() const {
  HWND focus = FocusedWindow(Window());
  return focus != nullptr && GetParent(focus) == Window() ? ControlWithId(GetDlgCtrlID(focus))
                                                          : nullptr;
}

std::string App::FocusedName() const {
  const ControlDesign* focused = Focused();
  return focused != nullptr ? focused->name : "";
}

void App::SetFocusTo(Field field) {
  keyboard_.Foreground();  // input attached: the program's focus may be set from here
  WaitFor([&] {
    if (Focused() == &ControlForField(field)) {
      return true;
    }
    keyboard_.Foreground();
    SetFocus(Control(field));
    return false;
  });
}

std::pair<int, int> App::Selection(Field field) const { return gui::Selection(Control(field)); }

bool App::SetClipboard(const std::string& utf8) { return SetClipboardText(utf8); }

bool App::Screenshot(const std::string& path) const { return SaveWindowBitmap(Window(), path); }

}  // namespace velmora::gui
