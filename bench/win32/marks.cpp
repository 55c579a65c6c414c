// The recorder behind the start-up marks in the profiling build: each mark
// keeps its time (QueryPerformanceCounter in milliseconds, a clock that the
// driving process shares), and when the message loop first runs dry the
// marks are written to the file named by VELMORA_MARKS, one
// "milliseconds<TAB>step" a line.
#include "platform/win32/startup_marks.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <array>
#include <cstdio>

namespace velmora::win32 {
namespace {

struct Mark {
  const char* step;
  double ms;
};

std::array<Mark, 128> marks;
std::size_t count = 0;
bool written = false;

double NowMs() {
  LARGE_INTEGER frequency;
  LARGE_INTEGER now;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

void Write() {
  std::array<wchar_t, MAX_PATH> path{};
  const DWORD length = GetEnvironmentVariableW(L"VELMORA_MARKS", path.data(), MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    return;
  }
  std::FILE* file = _wfopen(path.data(), L"w");
  if (file == nullptr) {
    return;
  }
  for (std::size_t i = 0; i < count; ++i) {
    std::fprintf(file, "%.3f\t%s\n", marks[i].ms, marks[i].step);
  }
  std::fclose(file);
}

}  // namespace

void StartupMark(const char* step) {
  if (!written && count < marks.size()) {
    marks[count++] = {step, NowMs()};
  }
}

void StartupLoopTop() {
  // Nothing queued and nothing left to paint: the window is up and waits.
  if (written || HIWORD(GetQueueStatus(QS_ALLINPUT)) != 0) {
    return;
  }
  StartupMark("paint the controls; ready for input");
  Write();
  written = true;
}

}  // namespace velmora::win32
