#include "platform/win32/form1.h"

#include <commctrl.h>
#include <imm.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/win32/text.h"
#include "window/design.h"
#include "window/fields.h"
#include "window/router.h"

namespace velmora::win32 {
namespace {

constexpr wchar_t kClassName[] = L"Velmora.Form1";
constexpr int kIconId = 1;
constexpr UINT kSelectAllAfterClick = WM_APP + 1;
constexpr int kBaseDpi = 96;

// Per-monitor DPI functions appeared in Windows 10; look them up so the
// program still starts where they are missing.
int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  if (get_dpi != nullptr) {
    const UINT dpi = get_dpi(hwnd);
    if (dpi != 0) {
      return static_cast<int>(dpi);
    }
  }
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

void AdjustForDpi(RECT& rect, DWORD style, DWORD ex_style, int dpi) {
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static const auto adjust = reinterpret_cast<AdjustFn>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi")));
  if (adjust != nullptr) {
    adjust(&rect, style, FALSE, ex_style, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  }
}

class Form1 final : public FieldOps {
 public:
  static constexpr DWORD kStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;

  bool Create(HINSTANCE instance);
  bool PreTranslate(MSG& msg);

  // FieldOps
  std::string Text(Field field) const override;
  void SetText(Field field, std::string_view text) override;
  void SetSelStart(Field field, int start) override;
  void SetSelLength(Field field, int length) override;
  void ShowMessage(std::string_view prompt, std::string_view title, int style) override;
  void SendKeys(std::string_view keys) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);

  void CreateControls(HINSTANCE instance);
  void Layout(int dpi, const RECT* suggested);
  const ControlDesign* DesignOf(HWND control) const;
  std::wstring WindowText(HWND control) const;

  // One handler per control and event.
  void OnCommand(HWND control, int code);
  void OnFieldChange(Field field);
  void OnFieldGotFocus(Field field);
  bool OnKeyPress(HWND target, WPARAM& key);
  void OnTab(bool backwards);

  HWND hwnd_ = nullptr;
  std::vector<std::pair<const ControlDesign*, HWND>> controls_;
  std::array<HWND, kFieldCount> fields_{};
  std::array<std::wstring, kFieldCount> known_text_;  // to tell real changes from repeats
  HWND button_ = nullptr;
  HWND last_focus_ = nullptr;
  HFONT font_ = nullptr;
  int dpi_ = kBaseDpi;
};

bool Form1::Create(HINSTANCE instance) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kIconId));
  wc.hIconSm = wc.hIcon;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kClassName;
  if (RegisterClassExW(&wc) == 0) {
    return false;
  }
  const std::wstring caption = Widen(kFormCaption);
  hwnd_ = CreateWindowExW(0, kClassName, caption.c_str(), kStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
  if (hwnd_ == nullptr) {
    return false;
  }
  SendMessageW(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(wc.hIcon));
  SendMessageW(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(wc.hIcon));
  CreateControls(instance);
  Layout(WindowDpi(hwnd_), nullptr);
  ShowWindow(hwnd_, SW_SHOWNORMAL);
  UpdateWindow(hwnd_);
  SetFocus(fields_[Index(Field::Textka)]);
  return true;
}

// Children are created topmost first (a new child goes below its older
// siblings). Frames are plain siblings placed behind what they frame, since
// a group box is no container for the controls' messages.
void Form1::CreateControls(HINSTANCE instance) {
  const auto create = [&](const ControlDesign& c) {
    const wchar_t* window_class = L"BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    DWORD ex_style = 0;
    switch (c.kind) {
      case ControlKind::Button:
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
      case ControlKind::Frame:
        style |= BS_GROUPBOX;
        break;
      case ControlKind::Label:
        window_class = L"STATIC";
        style |= SS_LEFT;
        break;
      case ControlKind::TextBox:
        window_class = L"EDIT";
        style |= ES_AUTOHSCROLL | ES_LEFT;
        ex_style = WS_EX_CLIENTEDGE;
        if ((c.flags & kReadOnly) != 0) {
          style |= ES_READONLY;
        }
        if ((c.flags & kNoTabStop) == 0) {
          style |= WS_TABSTOP;
        }
        break;
    }
    const std::wstring text = Widen(c.caption);
    HWND control =
        CreateWindowExW(ex_style, window_class, text.c_str(), style, 0, 0, 0, 0, hwnd_,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
    controls_.emplace_back(&c, control);
    if (c.field) {
      fields_[Index(*c.field)] = control;
      known_text_[Index(*c.field)] = text;
      // Numbers only: the input method stays out of the way.
      ImmAssociateContextEx(control, nullptr, 0);
      SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // no length limit
    }
    if (c.kind == ControlKind::Button) {
      button_ = control;
    }
  };

  const auto controls = Form1Controls();
  for (const ControlDesign& c : controls) {
    if (c.container != Container::Form1) {
      continue;
    }
    if (c.kind == ControlKind::Frame) {
      const Container inside =
          std::string_view(c.name) == "Frame1" ? Container::Frame1 : Container::Frame2;
      for (const ControlDesign& child : controls) {
        if (child.container == inside) {
          create(child);
        }
      }
    }
    create(c);
  }
}

void Form1::Layout(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  HFONT old_font = font_;
  const std::wstring face = Widen(kControlFont.face);
  font_ =
      CreateFontW(-MulDiv(kControlFont.tenths_of_point, dpi, 720), 0, 0, 0, kControlFont.weight,
                  FALSE, FALSE, FALSE, static_cast<DWORD>(kControlFont.charset), OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
  for (const auto& [design, control] : controls_) {
    const Rect r = PixelRect(*design, dpi);
    SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  }
  if (old_font != nullptr) {
    DeleteObject(old_font);
  }

  RECT frame = {0, 0, TwipsToPixels(kFormClientWidth, dpi), TwipsToPixels(kFormClientHeight, dpi)};
  AdjustForDpi(frame, kStyle, 0, dpi);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  if (suggested != nullptr) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top, width, height,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    // Centred on the screen.
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

const ControlDesign* Form1::DesignOf(HWND control) const {
  for (const auto& [design, hwnd] : controls_) {
    if (hwnd == control) {
      return design;
    }
  }
  return nullptr;
}

std::wstring Form1::WindowText(HWND control) const {
  const auto length = static_cast<std::size_t>(GetWindowTextLengthW(control));
  std::wstring text(length + 1, L'\0');
  const int copied = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

std::string Form1::Text(Field field) const { return Narrow(WindowText(fields_[Index(field)])); }

void Form1::SetText(Field field, std::string_view text) {
  const std::wstring wide = Widen(text);
  HWND control = fields_[Index(field)];
  if (WindowText(control) == wide) {
    return;  // the same text is no change
  }
  SetWindowTextW(control, wide.c_str());  // EN_CHANGE runs the change rule, nested
}

void Form1::SetSelStart(Field field, int start) {
  SendMessageW(fields_[Index(field)], EM_SETSEL, static_cast<WPARAM>(start), start);
}

void Form1::SetSelLength(Field field, int length) {
  HWND control = fields_[Index(field)];
  DWORD start = 0;
  SendMessageW(control, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
  SendMessageW(control, EM_SETSEL, start, static_cast<LPARAM>(start) + length);
}

void Form1::ShowMessage(std::string_view prompt, std::string_view title, int style) {
  MessageBoxW(hwnd_, Widen(prompt).c_str(), Widen(title).c_str(), static_cast<UINT>(style));
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

LRESULT CALLBACK Form1::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* form = static_cast<Form1*>(create->lpCreateParams);
    form->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
  }
  auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (form == nullptr) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  return form->Handle(message, wparam, lparam);
}

LRESULT Form1::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_COMMAND:
      if (lparam != 0) {
        OnCommand(reinterpret_cast<HWND>(lparam), HIWORD(wparam));
      }
      return 0;
    case WM_CTLCOLORSTATIC:  // read-only edits ask here
    case WM_CTLCOLOREDIT: {
      const ControlDesign* design = DesignOf(reinterpret_cast<HWND>(lparam));
      if (design != nullptr && (design->flags & kMenuColour) != 0) {
        auto* dc = reinterpret_cast<HDC>(wparam);
        SetBkColor(dc, GetSysColor(COLOR_MENU));
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_MENU));
      }
      break;
    }
    case kSelectAllAfterClick:
      OnFieldGotFocus(static_cast<Field>(wparam));
      return 0;
    case WM_ACTIVATE:
      // Keep the focused control across a message box or another window.
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus != nullptr && GetParent(focus) == hwnd_) {
          last_focus_ = focus;
        }
      }
      break;
    case WM_SETFOCUS:
      SetFocus(last_focus_ != nullptr ? last_focus_ : fields_[Index(Field::Textka)]);
      return 0;
    case WM_DPICHANGED:
      Layout(HIWORD(wparam), reinterpret_cast<const RECT*>(lparam));
      return 0;
    case WM_DESTROY:
      if (font_ != nullptr) {
        DeleteObject(font_);
        font_ = nullptr;
      }
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void Form1::OnCommand(HWND control, int code) {
  if (control == button_ && code == BN_CLICKED) {
    Router(*this).Clicked();
    return;
  }
  const ControlDesign* design = DesignOf(control);
  if (design == nullptr || !design->field) {
    return;
  }
  if (code == EN_CHANGE) {
    OnFieldChange(*design->field);
  } else if (code == EN_SETFOCUS) {
    OnFieldGotFocus(*design->field);
    if (GetKeyState(VK_LBUTTON) < 0) {
      // A click places the caret after the focus arrives: select again then.
      PostMessageW(hwnd_, kSelectAllAfterClick, Index(*design->field), 0);
    }
  }
}

void Form1::OnFieldChange(Field field) {
  // Edit controls report a change even when the text was set to what it
  // already held; only a real change runs the rule.
  std::wstring text = WindowText(fields_[Index(field)]);
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
  const ControlDesign* design = DesignOf(target);
  KeyTarget to;
  if (target == button_) {
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
      SendMessageW(button_, BM_CLICK, 0, 0);
      return true;
    case KeyAction::Drop:
      return true;
  }
  return true;
}

void Form1::OnTab(bool backwards) {
  const ControlDesign* current = DesignOf(GetFocus());
  const int from = current != nullptr ? current->tab_index : -1;
  const ControlDesign& next = NextTabStop(from, backwards);
  for (const auto& [design, control] : controls_) {
    if (design == &next) {
      SetFocus(control);
      return;
    }
  }
}

bool Form1::PreTranslate(MSG& msg) {
  if (msg.hwnd != hwnd_ && GetParent(msg.hwnd) != hwnd_) {
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
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  Form1 form;
  if (!form.Create(instance)) {
    return 1;
  }
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (form.PreTranslate(msg)) {
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace velmora::win32
