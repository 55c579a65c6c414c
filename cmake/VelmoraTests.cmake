# Tests of the Windows builds run under Wine, and the 32-bit build cannot
# run on a host whose kernel runs no 32-bit programs. GoogleTest's own test
# discovery would stop the whole test run there; this one reports each of
# that program's tests as skipped instead (their names read from the test
# sources), and a program that fails to list its tests as one failing test.
#
#   velmora_gtests(<target> PREFIX <name prefix> LABEL <label>
#                  [FILTER <gtest filter>] [PROPERTIES <test properties>...])
#
# Every test carries one label for its kind, so that one kind runs alone
# (`ctest --preset native -L unit`): unit (arith, window, text), road, model,
# landxml, plot, report, roadwindow, cli, gui, agree, fuzz.
#
# Discovery runs when CTest starts, as with DISCOVERY_MODE PRE_TEST.
set(VELMORA_SKIP_CODE 77)  # what scripts/wine-run exits with for "cannot run here"

function(velmora_gtests target)
  # PARSE_ARGV keeps a property's own list ("ENVIRONMENT" "A=1;B=2") whole.
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "PREFIX;FILTER;LABEL" "PROPERTIES")
  if(NOT arg_LABEL)
    message(FATAL_ERROR "velmora_gtests(${target}): no LABEL")
  endif()
  get_target_property(sources ${target} SOURCES)
  set(paths "")
  foreach(source IN LISTS sources)
    get_filename_component(path "${source}" ABSOLUTE BASE_DIR "${CMAKE_CURRENT_SOURCE_DIR}")
    list(APPEND paths "${path}")
  endforeach()
  set(bits "")
  if(WIN32)
    math(EXPR bits "${CMAKE_SIZEOF_VOID_P} * 8")
  endif()
  set(include_file "${CMAKE_CURRENT_BINARY_DIR}/${target}_discover.cmake")
  file(GENERATE OUTPUT "${include_file}" CONTENT
"set(exe [==[$<TARGET_FILE:${target}>]==])
set(emulator [==[${CMAKE_CROSSCOMPILING_EMULATOR}]==])
set(prefix [==[${arg_PREFIX}]==])
set(filter [==[${arg_FILTER}]==])
set(label [==[${arg_LABEL}]==])
set(properties [==[${arg_PROPERTIES}]==])
set(sources [==[${paths}]==])
set(bits [==[${bits}]==])
set(skip_code ${VELMORA_SKIP_CODE})
set(wine_lib [==[${PROJECT_SOURCE_DIR}/scripts/lib/wine.sh]==])
include([==[${PROJECT_SOURCE_DIR}/cmake/discover_tests.cmake]==])
")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${include_file}")
endfunction()

# Every test the calling directory added with add_test gets `label`; in a
# Windows build each also counts exit code 77 (the program cannot run on
# this host) as skipped. Call at the end of each CMakeLists.txt that adds
# tests.
function(velmora_finish_tests label)
  get_property(tests DIRECTORY PROPERTY TESTS)
  foreach(test IN LISTS tests)
    set_tests_properties(${test} PROPERTIES LABELS ${label})
    if(WIN32)
      set_tests_properties(${test} PROPERTIES SKIP_RETURN_CODE ${VELMORA_SKIP_CODE})
    endif()
  endforeach()
endfunction()
