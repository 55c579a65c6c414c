#include "platform/win32/controls.h"

#include <imm.h>

#include "platform/win32/startup_marks.h"
#include "platform/win32/text.h"

namespace velmora::win32 {
namespace {

// Per-monitor DPI functions appeared in Windows 10; look them up so the
// program still starts where they are missing.
template <typename Fn>
Fn User32Function(const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

void AdjustForDpi(RECT& rect, DWORD style, DWORD ex_style, int dpi) {
  using AdjustFn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  const auto adjust = User32Function<AdjustFn>("AdjustWindowRectExForDpi");
  if (adjust != nullptr) {
    adjust(&rect, style, FALSE, ex_style, static_cast<UINT>(dpi));
  } else {
    AdjustWindowRectEx(&rect, style, FALSE, ex_style);
  }
}

struct WindowKind {
  const wchar_t* window_class;
  DWORD style;
  DWORD ex_style;
  const char* mark;  // the start-up step of creating one
};

WindowKind KindOf(const ControlDesign& c) {
  constexpr DWORD kChild = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  switch (c.kind) {
    case ControlKind::Button:
      return {L"BUTTON", kChild | BS_PUSHBUTTON | WS_TABSTOP, 0, "create the button"};
    case ControlKind::Frame:
      return {L"BUTTON", kChild | BS_GROUPBOX, 0, "create the frames"};
    case ControlKind::Label:
      return {L"STATIC", kChild | SS_LEFT, 0, "create the labels"};
    case ControlKind::TextBox: {
      DWORD style = kChild | ES_AUTOHSCROLL | ES_LEFT;
      if ((c.flags & kReadOnly) != 0) {
        style |= ES_READONLY;
      }
      if ((c.flags & kNoTabStop) == 0) {
        style |= WS_TABSTOP;
      }
      return {L"EDIT", style, WS_EX_CLIENTEDGE, "create the text boxes"};
    }
  }
  return {L"STATIC", kChild, 0, "create the labels"};
}

HFONT ControlFont(int dpi) {
  const std::wstring face = Widen(kControlFont.face);
  return CreateFontW(-MulDiv(kControlFont.tenths_of_point, dpi, 720), 0, 0, 0, kControlFont.weight,
                     FALSE, FALSE, FALSE, static_cast<DWORD>(kControlFont.charset),
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

}  // namespace

int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  const auto get_dpi = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
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

Controls::~Controls() { ReleaseFont(); }

// A new child goes below its older siblings, so creating in stacking order
// (topmost first) stacks them as designed. Frames are plain siblings placed
// behind what they frame, since a group box is no container for the
// controls' messages.
bool Controls::Create(HWND form, HINSTANCE instance) {
  form_ = form;
  const int dpi = WindowDpi(form);
  font_ = ControlFont(dpi);
  StartupMark("create the font");
  // Each control is made in its place and font at once: nothing is shown
  // yet, so there is nothing to move or redraw afterwards.
  std::size_t next = 0;
  for (const ControlDesign* c : StackingOrder()) {
    const WindowKind kind = KindOf(*c);
    const std::wstring text = Widen(c->caption);
    const Rect r = PixelRect(*c, dpi);
    HWND control = CreateWindowExW(
        kind.ex_style, kind.window_class, text.c_str(), kind.style, r.left, r.top, r.width,
        r.height, form, reinterpret_cast<HMENU>(static_cast<INT_PTR>(c->id)), instance, nullptr);
    if (control == nullptr) {
      return false;
    }
    controls_[next++] = {c, control};
    StartupMark(kind.mark);
    if (c->field) {
      fields_[Index(*c->field)] = control;
      // Numbers only: the input method stays out of the way.
      ImmAssociateContextEx(control, nullptr, 0);
      SendMessageW(control, EM_SETLIMITTEXT, 0, 0);  // no length limit
      StartupMark("fields: input method off, no length limit");
    }
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    StartupMark("set the font");
    if (c->kind == ControlKind::Button) {
      button_ = control;
    }
  }
  PlaceForm(dpi, nullptr);
  return true;
}

void Controls::Layout(int dpi, const RECT* suggested) {
  HFONT old_font = font_;
  font_ = ControlFont(dpi);
  for (const auto& [design, control] : controls_) {
    const Rect r = PixelRect(*design, dpi);
    SetWindowPos(control, nullptr, r.left, r.top, r.width, r.height, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
  }
  if (old_font != nullptr) {
    DeleteObject(old_font);
  }
  PlaceForm(dpi, suggested);
}

void Controls::PlaceForm(int dpi, const RECT* suggested) {
  RECT frame = {0, 0, TwipsToPixels(kFormClientWidth, dpi), TwipsToPixels(kFormClientHeight, dpi)};
  AdjustForDpi(frame, static_cast<DWORD>(GetWindowLongPtrW(form_, GWL_STYLE)),
               static_cast<DWORD>(GetWindowLongPtrW(form_, GWL_EXSTYLE)), dpi);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  int x = 0;
  int y = 0;
  if (suggested != nullptr) {
    x = suggested->left;
    y = suggested->top;
  } else {
    x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  }
  SetWindowPos(form_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  StartupMark("size and centre the form");
}

void Controls::ReleaseFont() {
  if (font_ != nullptr) {
    DeleteObject(font_);
    font_ = nullptr;
  }
}

const ControlDesign* Controls::DesignOf(HWND control) const {
  for (const auto& [design, hwnd] : controls_) {
    if (hwnd == control && control != nullptr) {
      return design;
    }
  }
  return nullptr;
}

HWND Controls::WithDesign(const ControlDesign& design) const {
  for (const auto& [d, hwnd] : controls_) {
    if (d == &design) {
      return hwnd;
    }
  }
  return nullptr;
}

HBRUSH Controls::Background(HWND control, HDC dc) const {
  const ControlDesign* design = DesignOf(control);
  if (design == nullptr || (design->flags & kMenuColour) == 0) {
    return nullptr;
  }
  SetBkColor(dc, GetSysColor(COLOR_MENU));
  SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
  return GetSysColorBrush(COLOR_MENU);
}

}  // namespace velmora::win32
