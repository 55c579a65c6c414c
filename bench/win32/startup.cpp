// Start-up, memory and click latency of Velmora.exe next to the floor
// programs, measured alternately in one run; or the start-up profile of the
// profiling build, step by step. Prints medians; judges nothing.
//
//   velmora_startup Velmora.exe floor.exe [runs [second-floor.exe]]
//   velmora_startup --profile velmora_profile.exe [runs]
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// psapi.h needs windows.h first.
#include <psapi.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
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
  double started_ms;  // just before the process was created (Now's clock)
  double ready_ms;    // process start to its window up and ready for input
  double peak_kib;    // peak working set
};

// Starts the program, waits until its window is up and ready, runs
// `while_up` (when given) and closes it.
Sample Launch(const std::wstring& exe, bool measure_clicks, std::vector<double>* clicks,
              const std::function<void()>& while_up = nullptr) {
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
  Sample sample = {start, Now() - start, 0};

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

  if (while_up) {
    while_up();
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

// The profiling build's marks of one start, read once it has written them
// (when its message loop first runs dry).
std::vector<std::pair<double, std::string>> ReadMarks(const std::wstring& path) {
  std::vector<std::pair<double, std::string>> marks;
  const double start = Now();
  std::FILE* file = nullptr;
  while ((file = _wfopen(path.c_str(), L"r")) == nullptr && Now() - start < 10000) {
    Sleep(1);  // polled: the file appears once the window is idle
  }
  if (file == nullptr) {
    return marks;
  }
  char line[256];
  while (std::fgets(line, sizeof line, file) != nullptr) {
    char* tab = std::strchr(line, '\t');
    if (tab != nullptr) {
      std::string step(tab + 1);
      step.erase(step.find_last_not_of("\r\n") + 1);
      marks.emplace_back(std::atof(line), step);
    }
  }
  std::fclose(file);
  return marks;
}

// Each step's time is from the mark before it; steps met more than once
// in a start (one per control) are added up.
int Profile(const std::wstring& exe, int runs) {
  wchar_t dir[MAX_PATH];
  GetTempPathW(MAX_PATH, dir);
  const std::wstring path = std::wstring(dir) + L"velmora-marks.txt";
  SetEnvironmentVariableW(L"VELMORA_MARKS", path.c_str());
  std::vector<std::string> order;
  std::map<std::string, std::vector<double>> steps;
  std::vector<double> ready;
  for (int run = 0; run < runs; ++run) {
    DeleteFileW(path.c_str());
    std::vector<std::pair<double, std::string>> marks;
    const Sample s = Launch(exe, false, nullptr, [&] { marks = ReadMarks(path); });
    if (marks.empty()) {
      std::printf("run %d: no marks written\n", run);
      return 1;
    }
    std::map<std::string, double> sums;
    double before = s.started_ms;
    for (const auto& [ms, step] : marks) {
      if (std::find(order.begin(), order.end(), step) == order.end()) {
        order.push_back(step);
      }
      sums[step] += ms - before;
      before = ms;
    }
    for (const auto& [step, ms] : sums) {
      steps[step].push_back(ms);
    }
    ready.push_back(marks.back().first - s.started_ms);
  }
  std::printf("start-up profile, %d runs; medians in ms\n", runs);
  for (const std::string& step : order) {
    std::printf("%8.2f  %s\n", Median(steps[step]), step.c_str());
  }
  std::printf("%8.2f  process start to ready, as the marks saw it\n", Median(ready));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 3 && std::wstring(argv[1]) == L"--profile") {
    return Profile(argv[2], argc > 3 ? _wtoi(argv[3]) : 15);
  }
  if (argc < 3) {
    std::printf(
        "usage: velmora_startup Velmora.exe floor.exe [runs [second-floor.exe]]\n"
        "       velmora_startup --profile velmora_profile.exe [runs]\n");
    return 2;
  }
  const int runs = argc > 3 ? _wtoi(argv[3]) : 15;
  std::vector<std::wstring> exes = {argv[1], argv[2]};
  if (argc > 4) {
    exes.emplace_back(argv[4]);
  }
  const std::size_t n = exes.size();
  std::vector<std::vector<double>> ready(n);
  std::vector<std::vector<double>> peak(n);
  std::vector<double> clicks;
  for (int run = 0; run < runs; ++run) {
    for (std::size_t which = 0; which < n; ++which) {  // alternate
      const Sample s = Launch(exes[which], which == 0 && run == 0, &clicks);
      ready[which].push_back(s.ready_ms);
      peak[which].push_back(s.peak_kib);
    }
  }
  std::printf("%d runs each, alternating; medians\n", runs);
  std::printf("%-16s %12s %14s %12s\n", "", "ready (ms)", "peak WS (KiB)", "size (KiB)");
  const char* names[] = {"Velmora.exe", "floor", "floor + label"};
  for (std::size_t which = 0; which < n; ++which) {
    std::printf("%-16s %12.1f %14.0f %12.0f\n", names[which], Median(ready[which]),
                Median(peak[which]), FileKib(exes[which]));
  }
  for (std::size_t floor = 1; floor < n; ++floor) {
    std::printf("%-16s %12.2f %14.2f %12.1f\n", floor == 1 ? "ratio to floor" : "ratio to f+label",
                Median(ready[0]) / Median(ready[floor]), Median(peak[0]) / Median(peak[floor]),
                FileKib(exes[0]) / FileKib(exes[floor]));
  }
  std::printf("click on 计算 to result: median %.3f ms over %zu clicks (max %.3f ms)\n",
              Median(clicks), clicks.size(),
              clicks.empty() ? 0.0 : *std::max_element(clicks.begin(), clicks.end()));
  return 0;
}
