// The plan of the open road: a child window drawing the road's lines and
// main points with GDI, double-buffered; the wheel zooms about the
// pointer, a drag pans, F or Home fits the road to the window.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <optional>

#include "road/geometry.h"
#include "roadwindow/plan.h"

namespace velmora::win32 {

class RoadPlan {
 public:
  RoadPlan() = default;
  RoadPlan(const RoadPlan&) = delete;
  RoadPlan& operator=(const RoadPlan&) = delete;
  ~RoadPlan();

  // Creates the child window (class "Velmora.RoadPlan") with `id`.
  bool Create(HWND parent, HINSTANCE instance, int id);
  HWND Hwnd() const { return hwnd_; }

  // Shows a new drawing, fitted to the window.
  void Show(roadwindow::PlanDrawing drawing);
  // Marks a located point and its foot on the centre line (or clears it).
  void Mark(std::optional<road::Point> point, std::optional<road::Point> foot);
  void Fit();
  void SetFont(HFONT font) { font_ = font; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void Paint();
  void Draw(HDC dc, const RECT& client);

  HWND hwnd_ = nullptr;
  HFONT font_ = nullptr;
  roadwindow::PlanDrawing drawing_;
  roadwindow::PlanTransform transform_;
  std::optional<road::Point> mark_;
  std::optional<road::Point> foot_;
  bool fitted_ = true;  // follows the window's size until zoomed or panned
  bool dragging_ = false;
  POINT drag_from_ = {};
};

}  // namespace velmora::win32
