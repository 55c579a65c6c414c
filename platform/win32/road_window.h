// VelmoraRoad's main window: a whole road's plan, its station table, the
// located points and the curve tables, all in one window.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace velmora::win32 {

// The ids of the window's controls, as a test driver finds them.
enum RoadControl : int {
  kStepLabel = 100,
  kStepEdit,
  kOffsetsLabel,
  kOffsetsEdit,
  kAtLabel,
  kAtEdit,
  kFormatLabel,
  kFormatCombo,
  kDecimalsLabel,
  kDecimalsEdit,
  kXLabel,
  kXEdit,
  kYLabel,
  kYEdit,
  kHLabel,
  kHEdit,
  kLocateButton,
  kLocateResult,
  kPlanView = 120,
  kTableList,
  kCurveList,
  kStatusBar = 130,
};

inline constexpr wchar_t kRoadWindowClass[] = L"Velmora.RoadWindow";

// Creates the window, opens `file` when it is not empty, and runs the
// message loop until the window is closed; returns the exit code.
int RunRoadWindow(HINSTANCE instance, const std::wstring& file);

}  // namespace velmora::win32
