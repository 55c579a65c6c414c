// Keeps Wine's desktop up while the GUI tests run. Wine closes a desktop
// one second after the last program using it has gone, and the next program
// starts it again (a new explorer.exe, at times two at once). Each GUI test
// is a program of its own and starts the program under test, so without a
// steady user of the desktop every test began while the desktop was going
// or coming, with timings that depend on how busy the machine is.
//
//   desktop_keeper            holds the desktop until told to stop (or 30 min)
//   desktop_keeper --ready    waits until a holder is up (exit 0) or 20 s (1)
//   desktop_keeper --stop     tells the holder to stop
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cstring>

namespace {

constexpr const wchar_t* kStopEvent = L"Local\\VelmoraDesktopKeeperStop";
constexpr DWORD kLongest = 30 * 60 * 1000;  // ms: let go in the end, whatever happens

int Hold() {
  // A window of our own makes this process a user of the desktop (which
  // starts the desktop if it is down); only then does the stop event, which
  // tells the waiters it is up, exist.
  HWND window = CreateWindowExW(0, L"STATIC", L"desktop_keeper", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                nullptr, GetModuleHandleW(nullptr), nullptr);
  GetDesktopWindow();
  HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, kStopEvent);
  if (stop == nullptr || GetLastError() == ERROR_ALREADY_EXISTS) {
    // Another holder is up, or none can be: nothing to do here.
    if (stop == nullptr) {
      std::fprintf(stderr, "desktop_keeper: cannot make the stop event: error %lu\n",
                   GetLastError());
    } else {
      CloseHandle(stop);
    }
    if (window != nullptr) {
      DestroyWindow(window);
    }
    return stop == nullptr ? 1 : 0;
  }
  const ULONGLONG until = GetTickCount64() + kLongest;
  for (;;) {
    const ULONGLONG now = GetTickCount64();
    if (now >= until) {
      break;
    }
    const DWORD woke =
        MsgWaitForMultipleObjects(1, &stop, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
    if (woke != WAIT_OBJECT_0 + 1) {
      break;  // told to stop, or the time is up
    }
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      DispatchMessageW(&msg);
    }
  }
  if (window != nullptr) {
    DestroyWindow(window);
  }
  CloseHandle(stop);
  return 0;
}

// The holder is up once its stop event exists.
int Ready() {
  const ULONGLONG until = GetTickCount64() + 20000;
  do {
    if (HANDLE stop = OpenEventW(SYNCHRONIZE, FALSE, kStopEvent)) {
      CloseHandle(stop);
      return 0;
    }
    Sleep(20);  // poll interval
  } while (GetTickCount64() < until);
  std::fprintf(stderr, "desktop_keeper: no holder of the desktop came up in 20 s\n");
  return 1;
}

int Stop() {
  if (HANDLE stop = OpenEventW(EVENT_MODIFY_STATE, FALSE, kStopEvent)) {
    SetEvent(stop);
    CloseHandle(stop);
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::strcmp(argv[1], "--ready") == 0) {
    return Ready();
  }
  if (argc > 1 && std::strcmp(argv[1], "--stop") == 0) {
    return Stop();
  }
  return Hold();
}
