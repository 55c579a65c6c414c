// The floors for start-up, built with the same toolchain and flags as
// Velmora.exe. The bare floor is the least a Win32 program can do to show a
// window and wait. With VELMORA_FLOOR_LABEL the second floor adds one label
// in the controls' CJK font and carries Velmora's manifest, so that it pays
// as Velmora.exe does for the font machinery, one paint of Chinese text and
// the common-controls library that the manifest asks for (loaded when the
// first control is made).
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"Floor";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowW(L"Floor", L"Floor", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                            CW_USEDEFAULT, CW_USEDEFAULT, 345, 305, nullptr, nullptr, instance,
                            nullptr);
#ifdef VELMORA_FLOOR_LABEL
  // 10.5 pt 宋体, GB2312, as Velmora's controls.
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  HFONT font = CreateFontW(-MulDiv(105, dpi, 720), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                           GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                           DEFAULT_PITCH | FF_DONTCARE, L"宋体");
  HWND label = CreateWindowW(L"STATIC", L"计算点方位角", WS_CHILD | WS_VISIBLE | SS_LEFT, 8, 29, 89,
                             17, hwnd, nullptr, instance, nullptr);
  SendMessageW(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
#endif
  ShowWindow(hwnd, SW_SHOWNORMAL);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    DispatchMessageW(&msg);
  }
#ifdef VELMORA_FLOOR_LABEL
  DeleteObject(font);
#endif
  return 0;
}
