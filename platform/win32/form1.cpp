#include "platform/win32/form1.h"

#include <commctrl.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/base_window.h"
#include "platform/win32/controls.h"
#include "platform/win32/startup_marks.h"
#include "platform/win32/text.h"
#include "window/design.h"
#include "window/fields.h"
#include "window/router.h"

namespace velmora::win32 {
namespace {

constexpr int kIconId = 1;
constexpr UINT kSelectAllAfterClick = WM_APP + 1;

std::wstring WindowText(HWND control) {
  const auto length = static_cast<std::size_t>(GetWindowTextLengthW(control));
  std::wstring text(length + 1, L'\0');
  const int copied = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

// Form1 on Win32: the field operations on its controls, and its messages
// turned into calls of the router, which decides what each one means.
class Form1 final : public BaseWindow, public FieldOps, public MessageFilter {
 public:
  bool Create(HINSTANCE instance);

  // FieldOps
  std::string Text(Field field) const override;
  void SetText(Field field, std::string_view text) override;
  void SetSelStart(Field field, int start) override;
  void SetSelLength(Field field, int length) override;
  void ShowMessage(std::string_view prompt, std::string_view title, int style) override;
  void SendKeys(std::string_view keys) override;

  // MessageFilter: the window sees every key before the focused control.
  bool PreTranslate(MSG& msg) override;

 private:
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam) override;

  // One handler per message.
  void OnCommand(HWND control, int code);
  LRESULT OnCtlColor(HWND control, HDC dc, UINT message, WPARAM wparam, LPARAM lparam);
  void OnActivate(int state);
  void OnSetFocus();
  void OnDpiChanged(int dpi, const RECT* suggested);
  void OnDestroy();

  // One handler per control and event.
  void OnClick();
  void OnFieldChange(Field field);
  void OnFieldGotFocus(Field field);
  bool OnKeyPress(HWND target, WPARAM& key);
  void OnTab(bool backwards);

  Controls controls_;
  std::array<std::wstring, kFieldCount> known_text_;  // to tell real changes from repeats
  HWND last_focus_ = nullptr;
};

bool Form1::Create(HINSTANCE instance) {
  const HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
  const WindowClass window_class = {L"Velmora.Form1", icon,
                                    reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
  const std::wstring caption = Widen(kFormCaption);
  if (!BaseWindow::Create(instance, window_class, caption.c_str(),
                          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU)) {
    return false;
  }
  SendMessageW(Hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  SendMessageW(Hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  StartupMark("set the icon");
  for (const ControlDesign& c : Form1Controls()) {
    if (c.field) {
      known_text_[Index(*c.field)] = Widen(c.caption);  // each field's first text
    }
  }
  if (!controls_.Create(Hwnd(), instance)) {
    return false;  // never a window without its controls
  }
  ShowWindow(Hwnd(), SW_SHOWNORMAL);
  StartupMark("show the form");
  UpdateWindow(Hwnd());
  StartupMark("the form's first WM_PAINT");
  SetFocus(controls_.FieldControl(Field::Textka));
  StartupMark("focus on Textka");
  return true;
}

std::string Form1::Text(Field field) const {
  return Narrow(WindowText(controls_.FieldControl(field)));
}

void Form1::SetText(Field field, std::string_view text) {
  const std::wstring wide = Widen(text);
  HWND control = controls_.FieldControl(field);
  if (WindowText(control) == wide) {
    return;  // the same text is no change
  }
  SetWindowTextW(control, wide.c_str());  // EN_CHANGE runs the change rule, nested
}

void Form1::SetSelStart(Field field, int start) {
  SendMessageW(controls_.FieldControl(field), EM_SETSEL, static_cast<WPARAM>(start), start);
}

void Form1::SetSelLength(Field field, int length) {
  HWND control = controls_.FieldControl(field);
  DWORD start = 0;
  SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  SendMessageW(control, EM_SETSEL, start, static_cast<LPARAM>(start) + length);
}

void Form1::ShowMessage(std::string_view prompt, std::string_view title, int style) {
  MessageBoxW(Hwnd(), Widen(prompt).c_str(), Widen(title).c_str(), static_cast<UINT>(style));
}

void Form1::SendKeys(std::string_view keys) {
  std::vector<INPUT> inputs;
  const auto key = [&inputs](WORD vk, WORD scan, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.wScan = scan;
    input.ki.dwFlags = flags;
    inputs.push_back(input);
  };
  for (const wchar_t c : Widen(keys)) {
    if (c == L'\t') {
      const auto scan = static_cast<WORD>(MapVirtualKeyW(VK_TAB, MAPVK_VK_TO_VSC));
      key(VK_TAB, scan, 0);
      key(VK_TAB, scan, KEYEVENTF_KEYUP);
    } else {
      key(0, c, KEYEVENTF_UNICODE);
      key(0, c, KEYEVENTF_UNICODE | KEYEVENTF_KEYUP);
    }
  }
  SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

LRESULT Form1::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      return 0;
    case WM_CTLCOLORSTATIC:  // read-only edits ask here
    case WM_CTLCOLOREDIT:
      return OnCtlColor(reinterpret_cast<HWND>(lparam), reinterpret_cast<HDC>(wparam), message,
                        wparam, lparam);
    case kSelectAllAfterClick:
      OnFieldGotFocus(static_cast<Field>(wparam));
      return 0;
    case WM_ACTIVATE:
      OnActivate(LOWORD(wparam));
      break;  // the default activation too
    case WM_SETFOCUS:
      OnSetFocus();
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_DESTROY:
      OnDestroy();
      return 0;
    default:
      break;
  }
  return Default(message, wparam, lparam);
}

void Form1::OnCommand(HWND control, int code) {
  if (control == nullptr) {
    return;  // a menu or accelerator: there are none
  }
  if (control == controls_.Button() && code == BN_CLICKED) {
    OnClick();
    return;
  }
  const ControlDesign* design = controls_.DesignOf(control);
  if (design == nullptr || !design->field) {
    return;
  }
  if (code == EN_CHANGE) {
    OnFieldChange(*design->field);
  } else if (code == EN_SETFOCUS) {
    OnFieldGotFocus(*design->field);
    if (GetKeyState(VK_LBUTTON) < 0) {
      // A click places the caret after the focus arrives: select again then.
      PostMessageW(Hwnd(), kSelectAllAfterClick, Index(*design->field), 0);
    }
  }
}

LRESULT Form1::OnCtlColor(HWND control, HDC dc, UINT message, WPARAM wparam, LPARAM lparam) {
  if (HBRUSH brush = controls_.Background(control, dc)) {
    return reinterpret_cast<LRESULT>(brush);
  }
  return Default(message, wparam, lparam);
}

// Keeps the focused control across a message box or another window.
void Form1::OnActivate(int state) {
  if (state == WA_INACTIVE) {
    HWND focus = GetFocus();
    if (focus != nullptr && GetParent(focus) == Hwnd()) {
      last_focus_ = focus;
    }
  }
}

void Form1::OnSetFocus() {
  SetFocus(last_focus_ != nullptr ? last_focus_ : controls_.FieldControl(Field::Textka));
}

void Form1::OnDpiChanged(int dpi, const RECT* suggested) { controls_.Layout(dpi, suggested); }

void Form1::OnDestroy() {
  controls_.ReleaseFont();
  PostQuitMessage(0);
}

void Form1::OnClick() { Router(*this).Clicked(); }

void Form1::OnFieldChange(Field field) {
  // Edit controls report a change even when the text was set to what it
  // already held; only a real change runs the rule.
  std::wstring text = WindowText(controls_.FieldControl(field));
  if (text == known_text_[Index(field)]) {
    return;
  }
  known_text_[Index(field)] = std::move(text);
  Router(*this).TextChanged(field);
}

void Form1::OnFieldGotFocus(Field field) { Router(*this).GotFocus(field); }

// Every typed character goes to the router before the focused control.
// Returns true when the key is used up here.
bool Form1::OnKeyPress(HWND target, WPARAM& key) {
  const ControlDesign* design = controls_.DesignOf(target);
  KeyTarget to;
  if (target == controls_.Button()) {
    to = KeyTarget::OnButton();
  } else if (design != nullptr && design->field) {
    to = KeyTarget::InField(*design->field);
  }
  const auto code = static_cast<std::int16_t>(static_cast<std::uint16_t>(key));
  const KeyAnswer answer = Router(*this).KeyTyped(to, code);
  switch (answer.action) {
    case KeyAction::Keep:
      key = static_cast<WPARAM>(static_cast<std::uint16_t>(answer.key));
      return false;
    case KeyAction::Click:
      SendMessageW(controls_.Button(), BM_CLICK, 0, 0);
      return true;
    case KeyAction::Drop:
      return true;
  }
  return true;
}

// Tab follows the design's tab indices, not the stacking order.
void Form1::OnTab(bool backwards) {
  const ControlDesign* current = controls_.DesignOf(GetFocus());
  const int from = current != nullptr ? current->tab_index : -1;
  if (HWND next = controls_.WithDesign(NextTabStop(from, backwards))) {
    SetFocus(next);
  }
}

bool Form1::PreTranslate(MSG& msg) {
  if (msg.hwnd != Hwnd() && GetParent(msg.hwnd) != Hwnd()) {
    return false;  // a message box or another window
  }
  switch (msg.message) {
    case WM_KEYDOWN:
      if (msg.wParam == VK_TAB) {
        OnTab(GetKeyState(VK_SHIFT) < 0);
        return true;
      }
      return msg.wParam == VK_F24;  // ignored: a marker key for test drivers
    case WM_KEYUP:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return msg.wParam == VK_F24;
    case WM_CHAR:
      if (msg.wParam == L'\t') {
        return true;  // Tab moved the focus on key down
      }
      return OnKeyPress(msg.hwnd, msg.wParam);
    default:
      return false;
  }
}

}  // namespace

int RunForm1(HINSTANCE instance) {
  StartupMark("process start to wWinMain");
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  StartupMark("common controls");
  Form1 form;
  if (!form.Create(instance)) {
    return 1;
  }
  return RunMessageLoop(form);
}

}  // namespace velmora::win32
