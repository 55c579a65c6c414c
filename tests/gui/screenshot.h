// A picture of a window as it is on the screen, saved as a Windows bitmap
// (.bmp); scripts/screenshot turns it into the PNG the docs show.
#pragma once

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <string>

namespace velmora::gui {

// Copies the window's rectangle from the screen (PrintWindow gives a black
// picture under Wine) into a 24-bit bitmap file; false if it could not.
bool SaveWindowBitmap(HWND window, const std::string& path);

}  // namespace velmora::gui
