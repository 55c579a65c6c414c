// Marks between the steps of start-up, for the start-up profile. In the
// shipped program they are empty and compile to nothing; the profiling
// build of the same sources (bench/win32) defines VELMORA_STARTUP_MARKS and
// links a recorder of the times.
#pragma once

namespace velmora::win32 {

#ifdef VELMORA_STARTUP_MARKS
// The step named `step` has just ended.
void StartupMark(const char* step);
// Called at the top of the message loop: the first time nothing is left to
// handle or paint, start-up has ended.
void StartupLoopTop();
#else
inline void StartupMark(const char* /*step*/) {}
inline void StartupLoopTop() {}
#endif

}  // namespace velmora::win32
