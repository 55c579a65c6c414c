# Each folder includes its own headers and those of the folders below it,
# never one above: arith and text at the bottom, road, then landxml and
# plot, the road model, report (the road's text, shared by every front end),
# the window (which never sees the road model nor the console program), the
# road window's logic (roadwindow: the road model and the reports, never the
# console program), platform/win32, app; cli on top.
#
#   cmake -DSOURCE=<source folder> -P check_layers.cmake
cmake_minimum_required(VERSION 3.20)
set(below_arith arith)
set(below_text text)
set(below_road road arith text)
set(below_landxml landxml road arith text)
set(below_plot plot road arith text)
set(below_model model landxml plot road arith text)
set(below_report report model landxml plot road arith text)
set(below_window window landxml plot road arith text)
set(below_roadwindow roadwindow report model landxml plot road arith text)
set(below_platform_win32 platform/win32 roadwindow window report model landxml plot road arith text)
set(below_app app platform/win32 roadwindow window report model landxml plot road arith text)
set(below_cli cli platform/win32 window report model landxml plot road arith text)
set(folders arith text road landxml plot model report window roadwindow platform/win32 app cli)

set(wrong "")
foreach(folder IN LISTS folders)
  string(REPLACE "/" "_" key "${folder}")
  file(GLOB_RECURSE files "${SOURCE}/${folder}/*.h" "${SOURCE}/${folder}/*.cpp")
  foreach(file IN LISTS files)
    file(STRINGS "${file}" includes REGEX "^#include \"")
    foreach(line IN LISTS includes)
      if(NOT line MATCHES "^#include \"(platform/win32|[a-z_0-9]+)/")
        continue()
      endif()
      set(to "${CMAKE_MATCH_1}")
      if(to IN_LIST folders AND NOT to IN_LIST below_${key})
        file(RELATIVE_PATH name "${SOURCE}" "${file}")
        string(APPEND wrong "\n  ${name}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(wrong)
  message(FATAL_ERROR "a folder includes one above it:${wrong}")
endif()
