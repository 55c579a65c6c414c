// Form1's controls as one piece: created from the design table in its
// stacking order, placed and given their font for the window's DPI (again on
// every DPI change), and found again by handle, field or design.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <string>
#include <utility>

#include "window/design.h"
#include "window/fields.h"

namespace velmora::win32 {

// The window's dots per inch (the screen's where per-monitor DPI is missing).
int WindowDpi(HWND hwnd);

class Controls {
 public:
  Controls() = default;
  Controls(const Controls&) = delete;
  Controls& operator=(const Controls&) = delete;
  ~Controls();

  // Creates every control of the design on the hidden `form`, in its
  // stacking order, place and font for the form's DPI, and sizes the form
  // to fit, centred on the screen. False if a control could not be made:
  // the form is then not to be shown.
  bool Create(HWND form, HINSTANCE instance);
  // Places the controls and the form for a new `dpi` with a font made for
  // it, the form at `suggested` (from WM_DPICHANGED).
  void Layout(int dpi, const RECT* suggested);
  // Deletes the font; the controls keep nothing to draw with afterwards.
  void ReleaseFont();

  const ControlDesign* DesignOf(HWND control) const;
  HWND FieldControl(Field field) const { return fields_[Index(field)]; }
  HWND Button() const { return button_; }
  HWND WithDesign(const ControlDesign& design) const;

  // The brush a control that asks at WM_CTLCOLOR* paints its background
  // with (its colours set in `dc`), or nullptr for the platform's own.
  HBRUSH Background(HWND control, HDC dc) const;

 private:
  // The form's size for `dpi`; at `suggested`, or else centred on the screen.
  void PlaceForm(int dpi, const RECT* suggested);

  HWND form_ = nullptr;
  std::array<std::pair<const ControlDesign*, HWND>, kControlCount> controls_{};
  std::array<HWND, kFieldCount> fields_{};
  HWND button_ = nullptr;
  HFONT font_ = nullptr;
};

}  // namespace velmora::win32
