// How long VelmoraRoad.exe takes from its start to a table ready: started
// with a road file (and nothing else: the default step and format), timed
// until its list holds the number of rows given, polled every millisecond.
// With OFFSETS and STEP also the time to make the table again once the
// offsets field and then the step field are set (each set returns once the
// window has made its table). Not a test: a measurement for
// docs/performance.md.
//
//   velmora_road_open <VelmoraRoad.exe> <road file> <rows> [runs [OFFSETS STEP]]
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// platform/win32/road_window.h
constexpr int kStepEdit = 101;
constexpr int kOffsetsEdit = 103;
constexpr int kTableList = 121;

// Sets a field as typing would; returns once the window has handled it.
double SetField(HWND window, int id, const wchar_t* text);

struct Found {
  DWORD pid;
  HWND window;
};

BOOL CALLBACK FindWindowOf(HWND hwnd, LPARAM lparam) {
  auto* found = reinterpret_cast<Found*>(lparam);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  wchar_t name[64] = {};
  GetClassNameW(hwnd, name, 64);
  if (pid == found->pid && std::wstring(name) == L"Velmora.RoadWindow") {
    found->window = hwnd;
    return FALSE;
  }
  return TRUE;
}

double Seconds() {
  LARGE_INTEGER now;
  LARGE_INTEGER frequency;
  QueryPerformanceCounter(&now);
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double SetField(HWND window, int id, const wchar_t* text) {
  const double start = Seconds();
  SendMessageW(GetDlgItem(window, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  return Seconds() - start;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: velmora_road_open EXE ROAD ROWS [RUNS]\n");
    return 2;
  }
  const long rows = std::wcstol(argv[3], nullptr, 10);
  const int runs = argc > 4 ? static_cast<int>(std::wcstol(argv[4], nullptr, 10)) : 5;
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    std::wstring command = L"\"" + std::wstring(argv[1]) + L"\" \"" + argv[2] + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info = {};
    const double start = Seconds();
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
      std::fprintf(stderr, "cannot start the program\n");
      return 1;
    }
    Found found = {info.dwProcessId, nullptr};
    double ready = 0.0;
    while (Seconds() - start < 120.0) {
      if (found.window == nullptr) {
        EnumWindows(FindWindowOf, reinterpret_cast<LPARAM>(&found));
      }
      DWORD_PTR count = 0;
      if (found.window != nullptr &&
          SendMessageTimeoutW(GetDlgItem(found.window, kTableList), LVM_GETITEMCOUNT, 0, 0,
                              SMTO_NORMAL, 1000, &count) != 0 &&
          static_cast<long>(count) == rows) {
        ready = Seconds() - start;
        break;
      }
      Sleep(1);
    }
    if (ready > 0.0 && argc > 6) {
      const double offsets = SetField(found.window, kOffsetsEdit, argv[5]);
      const double step = SetField(found.window, kStepEdit, argv[6]);
      const auto count = SendMessageW(GetDlgItem(found.window, kTableList), LVM_GETITEMCOUNT, 0, 0);
      std::printf("offsets %ls: %.0f ms; step %ls: %.0f ms, %ld rows\n", argv[5], 1000.0 * offsets,
                  argv[6], 1000.0 * step, static_cast<long>(count));
    }
    if (found.window != nullptr) {
      PostMessageW(found.window, WM_CLOSE, 0, 0);
    }
    WaitForSingleObject(info.hProcess, 10000);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (ready == 0.0) {
      std::fprintf(stderr, "the table never held %ld rows\n", rows);
      return 1;
    }
    times.push_back(ready);
  }
  std::sort(times.begin(), times.end());
  std::printf("runs %d: median %.0f ms, fastest %.0f ms, slowest %.0f ms\n", runs,
              1000.0 * times[times.size() / 2], 1000.0 * times.front(), 1000.0 * times.back());
  return 0;
}
