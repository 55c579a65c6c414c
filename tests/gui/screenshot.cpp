#include "tests/gui/screenshot.h"

#include <fstream>
#include <vector>

#include "platform/win32/text.h"

namespace velmora::gui {

bool SaveWindowBitmap(HWND window, const std::string& path) {
  RECT rect;
  if (!GetWindowRect(window, &rect)) {
    return false;
  }
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  bool ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
  SelectObject(memory, old);

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom-up, as a .bmp stores its rows
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const std::size_t row_bytes = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
  std::vector<char> pixels(row_bytes * static_cast<std::size_t>(height));
  ok = ok && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                       reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == height;
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (!ok) {
    return false;
  }

  BITMAPFILEHEADER file_header = {};
  file_header.bfType = 0x4D42;  // "BM"
  file_header.bfOffBits = sizeof file_header + sizeof header;
  file_header.bfSize = static_cast<DWORD>(file_header.bfOffBits + pixels.size());
  header.biSizeImage = static_cast<DWORD>(pixels.size());
  std::ofstream file(win32::Widen(path).c_str(), std::ios::binary);
  file.write(reinterpret_cast<const char*>(&file_header), sizeof file_header);
  file.write(reinterpret_cast<const char*>(&header), sizeof header);
  file.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  return file.good();
}

}  // namespace velmora::gui
