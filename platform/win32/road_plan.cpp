#include "platform/win32/road_plan.h"

#include <windowsx.h>

#include <algorithm>
#include <vector>

#include "platform/win32/text.h"

namespace velmora::win32 {
namespace {

constexpr wchar_t kPlanClass[] = L"Velmora.RoadPlan";

// GDI takes 32-bit coordinates; a point far off the window is drawn at a
// bound well inside them.
int Pixel(double value) { return static_cast<int>(std::clamp(value, -1.0e7, 1.0e7)); }

int Scaled(HWND hwnd, int pixels_at_96) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
  const UINT dpi = get_dpi != nullptr ? get_dpi(hwnd) : 96;
  return MulDiv(pixels_at_96, dpi == 0 ? 96 : static_cast<int>(dpi), 96);
}

}  // namespace

RoadPlan::~RoadPlan() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
  }
}

bool RoadPlan::Create(HWND parent, HINSTANCE instance, int id) {
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32515));  // IDC_CROSS
  wc.lpszClassName = kPlanClass;
  if (RegisterClassExW(&wc) == 0 && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    return false;
  }
  hwnd_ = CreateWindowExW(
      WS_EX_CLIENTEDGE, kPlanClass, L"平面图", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPSIBLINGS,
      0, 0, 10, 10, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
  return hwnd_ != nullptr;
}

void RoadPlan::Show(roadwindow::PlanDrawing drawing) {
  drawing_ = std::move(drawing);
  mark_.reset();
  foot_.reset();
  Fit();
}

void RoadPlan::Mark(std::optional<road::Point> point, std::optional<road::Point> foot) {
  mark_ = point;
  foot_ = foot;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void RoadPlan::Fit() {
  RECT client;
  GetClientRect(hwnd_, &client);
  transform_.Fit(drawing_.extent, client.right, client.bottom, Scaled(hwnd_, 24));
  fitted_ = true;
  InvalidateRect(hwnd_, nullptr, FALSE);
}

LRESULT CALLBACK RoadPlan::Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* plan = static_cast<RoadPlan*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
    plan->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(plan));
  }
  auto* plan = reinterpret_cast<RoadPlan*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (plan == nullptr) {
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  return plan->Handle(message, wparam, lparam);
}

LRESULT RoadPlan::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // the whole picture is painted from the buffer
    case WM_SIZE:
      if (fitted_) {
        Fit();
      }
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
      InvalidateRect(hwnd_, nullptr, FALSE);  // the focus frame
      return 0;
    case WM_KEYDOWN:
      if (wparam == 'F' || wparam == VK_HOME) {
        Fit();
        return 0;
      }
      if (wparam == VK_ADD || wparam == VK_OEM_PLUS || wparam == VK_SUBTRACT ||
          wparam == VK_OEM_MINUS) {
        RECT client;
        GetClientRect(hwnd_, &client);
        const bool in = wparam == VK_ADD || wparam == VK_OEM_PLUS;
        transform_.ZoomAbout({client.right / 2.0, client.bottom / 2.0}, in ? 1.25 : 0.8);
        fitted_ = false;
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
      }
      if (wparam == VK_LEFT || wparam == VK_RIGHT || wparam == VK_UP || wparam == VK_DOWN) {
        const double step = Scaled(hwnd_, 40);
        transform_.Pan(wparam == VK_LEFT    ? step
                       : wparam == VK_RIGHT ? -step
                                            : 0.0,
                       wparam == VK_UP     ? step
                       : wparam == VK_DOWN ? -step
                                           : 0.0);
        fitted_ = false;
        InvalidateRect(hwnd_, nullptr, FALSE);
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: {
      POINT at = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      ScreenToClient(hwnd_, &at);
      const double notches = GET_WHEEL_DELTA_WPARAM(wparam) / static_cast<double>(WHEEL_DELTA);
      double factor = 1.0;
      for (int i = 0; i < static_cast<int>(notches < 0 ? -notches : notches); ++i) {
        factor *= notches > 0 ? 1.25 : 0.8;
      }
      transform_.ZoomAbout({static_cast<double>(at.x), static_cast<double>(at.y)}, factor);
      fitted_ = false;
      InvalidateRect(hwnd_, nullptr, FALSE);
      return 0;
    }
    case WM_LBUTTONDOWN:
      SetFocus(hwnd_);
      SetCapture(hwnd_);
      dragging_ = true;
      drag_from_ = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
      return 0;
    case WM_MOUSEMOVE:
      if (dragging_) {
        const POINT to = {GET_X_LPARAM(lparam), GET_Y_LPARAM(lparam)};
        transform_.Pan(to.x - drag_from_.x, to.y - drag_from_.y);
        drag_from_ = to;
        fitted_ = false;
        InvalidateRect(hwnd_, nullptr, FALSE);
      }
      return 0;
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
      if (dragging_) {
        dragging_ = false;
        if (message == WM_LBUTTONUP) {
          ReleaseCapture();
        }
      }
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
      hwnd_ = nullptr;
      return 0;
    default:
      break;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

void RoadPlan::Paint() {
  PAINTSTRUCT paint;
  HDC screen = BeginPaint(hwnd_, &paint);
  RECT client;
  GetClientRect(hwnd_, &client);
  HDC buffer = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, std::max<LONG>(client.right, 1),
                                          std::max<LONG>(client.bottom, 1));
  HGDIOBJ old_bitmap = SelectObject(buffer, bitmap);
  Draw(buffer, client);
  BitBlt(screen, 0, 0, client.right, client.bottom, buffer, 0, 0, SRCCOPY);
  SelectObject(buffer, old_bitmap);
  DeleteObject(bitmap);
  DeleteDC(buffer);
  EndPaint(hwnd_, &paint);
}

void RoadPlan::Draw(HDC dc, const RECT& client) {
  FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  const int width = Scaled(hwnd_, 2);
  std::vector<POINT> points;
  for (const roadwindow::Polyline& line : drawing_.lines) {
    HPEN pen = line.offset_line ? CreatePen(PS_DOT, 1, line.colour)
                                : CreatePen(PS_SOLID, width, line.colour);
    HGDIOBJ old_pen = SelectObject(dc, pen);
    points.clear();
    for (const road::Point p : line.points) {
      const roadwindow::ScreenPoint s = transform_.ToScreen(p);
      points.push_back({Pixel(s.u), Pixel(s.v)});
    }
    if (points.size() >= 2) {
      Polyline(dc, points.data(), static_cast<int>(points.size()));
    }
    SelectObject(dc, old_pen);
    DeleteObject(pen);
  }
  HGDIOBJ old_font = SelectObject(dc, font_ != nullptr ? font_ : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0, 0, 0));
  const int dot = Scaled(hwnd_, 3);
  HGDIOBJ old_brush = SelectObject(dc, GetStockObject(BLACK_BRUSH));
  // A label that would cover the one before it is left out (zoom in to
  // see it); every point keeps its dot.
  RECT last_label = {};
  for (const roadwindow::MainPoint& point : drawing_.points) {
    const roadwindow::ScreenPoint s = transform_.ToScreen(point.at);
    const int u = Pixel(s.u);
    const int v = Pixel(s.v);
    Ellipse(dc, u - dot, v - dot, u + dot + 1, v + dot + 1);
    const std::wstring label = Widen(point.code + " " + point.station);
    SIZE extent = {};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &extent);
    const RECT box = {u + 2 * dot, v - 4 * dot, u + 2 * dot + extent.cx, v - 4 * dot + extent.cy};
    RECT overlap;
    if (IntersectRect(&overlap, &box, &last_label)) {
      continue;
    }
    TextOutW(dc, box.left, box.top, label.c_str(), static_cast<int>(label.size()));
    last_label = box;
  }
  SelectObject(dc, old_brush);
  if (mark_) {
    HPEN pen = CreatePen(PS_SOLID, width, RGB(200, 0, 200));
    HGDIOBJ old_pen = SelectObject(dc, pen);
    const roadwindow::ScreenPoint s = transform_.ToScreen(*mark_);
    const int u = Pixel(s.u);
    const int v = Pixel(s.v);
    const int arm = Scaled(hwnd_, 8);
    MoveToEx(dc, u - arm, v - arm, nullptr);
    LineTo(dc, u + arm + 1, v + arm + 1);
    MoveToEx(dc, u - arm, v + arm, nullptr);
    LineTo(dc, u + arm + 1, v - arm - 1);
    if (foot_) {
      const roadwindow::ScreenPoint f = transform_.ToScreen(*foot_);
      MoveToEx(dc, u, v, nullptr);
      LineTo(dc, Pixel(f.u), Pixel(f.v));
    }
    SelectObject(dc, old_pen);
    DeleteObject(pen);
  }
  SelectObject(dc, old_font);
  if (GetFocus() == hwnd_) {
    RECT inner = client;
    InflateRect(&inner, -1, -1);
    DrawFocusRect(dc, &inner);
  }
}

}  // namespace velmora::win32
