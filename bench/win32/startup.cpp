// Start-up, memory and click latency of Velmora.exe next to the floor
// program, measured alternately in one run. Prints medians; judges nothing.
//
//   velmora_startup Velmora.exe floor.exe [runs]
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/win32/text.h"
#include "window/design.h"

namespace {

double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER count;
  QueryPerformanceCounter(&count);
  return static_cast<double>(count.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

struct FindData {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK FindVisible(HWND hwnd, LPARAM param) {
  auto* data = reinterpret_cast<FindData*>(param);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == data->pid && IsWindowVisible(hwnd)) {
    data->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

struct Sample {
  double ready_ms;  // process start to its window up and ready for input
  double peak_kib;  // peak working set
};

Sample Launch(const std::wstring& exe, bool measure_clicks, std::vector<double>* clicks) {
  std::wstring command = L"\"" + exe + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  const double start = Now();
  CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                 &process);
  FindData data = {process.dwProcessId, nullptr};
  while (data.found == nullptr && Now() - start < 20000) {
    EnumWindows(FindVisible, reinterpret_cast<LPARAM>(&data));
  }
  WaitForInputIdle(process.hProcess, 20000);
  Sample sample = {Now() - start, 0};

  if (measure_clicks && data.found != nullptr) {
    using velmora::ControlForField;
    const std::array<const char*, velmora::kInputFields.size()> inputs = {
        "1000", "1200", "500", "500", "1100", "45.3015"};
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      const std::wstring text = velmora::win32::Widen(inputs[i]);
      SendMessageW(GetDlgItem(data.found, ControlForField(velmora::kInputFields[i]).id), WM_SETTEXT,
                   0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    const auto controls = velmora::Form1Controls();
    const auto command = std::find_if(controls.begin(), controls.end(), [](const auto& c) {
      return c.kind == velmora::ControlKind::Button;
    });
    HWND button = GetDlgItem(data.found, command->id);
    HWND result = GetDlgItem(data.found, ControlForField(velmora::Field::Textcia).id);
    for (int i = 0; i < 1000; ++i) {
      wchar_t text[64] = {};
      const double t = Now();
      SendMessageW(button, BM_CLICK, 0, 0);  // returns once the command has run
      SendMessageW(result, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(text));
      clicks->push_back(Now() - t);
      if (velmora::win32::Narrow(text) != "56度57分48秒") {
        std::printf("unexpected result after click %d\n", i);
        break;
      }
    }
  }

  PROCESS_MEMORY_COUNTERS memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory);
  sample.peak_kib = static_cast<double>(memory.PeakWorkingSetSize) / 1024.0;
  PostMessageW(data.found, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return sample;
}

double FileKib(const std::wstring& path) {
  WIN32_FILE_ATTRIBUTE_DATA attributes = {};
  GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &attributes);
  return static_cast<double>(attributes.nFileSizeLow) / 1024.0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 3) {
    std::printf("usage: velmora_startup Velmora.exe floor.exe [runs]\n");
    return 2;
  }
  const int runs = argc > 3 ? _wtoi(argv[3]) : 15;
  std::vector<double> ready[2];
  std::vector<double> peak[2];
  std::vector<double> clicks;
  for (int run = 0; run < runs; ++run) {
    for (int which = 0; which < 2; ++which) {  // alternate
      const Sample s = Launch(argv[1 + which], which == 0 && run == 0, &clicks);
      ready[which].push_back(s.ready_ms);
      peak[which].push_back(s.peak_kib);
    }
  }
  std::printf("%d runs each, alternating; medians\n", runs);
  std::printf("%-12s %12s %14s %12s\n", "", "ready (ms)", "peak WS (KiB)", "size (KiB)");
  const char* names[] = {"Velmora.exe", "floor"};
  for (int which = 0; which < 2; ++which) {
    std::printf("%-12s %12.1f %14.0f %12.0f\n", names[which], Median(ready[which]),
                Median(peak[which]), FileKib(argv[1 + which]));
  }
  std::printf("%-12s %12.2f %14.2f %12.1f\n", "ratio", Median(ready[0]) / Median(ready[1]),
              Median(peak[0]) / Median(peak[1]), FileKib(argv[1]) / FileKib(argv[2]));
  std::printf("click on 计算 to result: median %.3f ms over %zu clicks (max %.3f ms)\n",
              Median(clicks), clicks.size(),
              clicks.empty() ? 0.0 : *std::max_element(clicks.begin(), clicks.end()));
  return 0;
}
