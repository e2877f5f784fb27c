# Every place that names the release names the project's version:
#   cmake -DVERSION=<x.y.z> -DCHANGELOG=<file> -DMETAINFO=<file>
#         -DPAGES=<page,...> [-DPROGRAM=<exe>] -P check_release.cmake
# The changelog's newest entry, the newest release of the AppStream metadata,
# the manual pages' header and "PROGRAM --version" are kept by hand, so a
# version bump that misses one of them fails here.
cmake_minimum_required(VERSION 3.25)

set(faults "")
function(expect what found)
  if(NOT found STREQUAL VERSION)
    string(APPEND faults "  ${what}: \"${found}\", not ${VERSION}\n")
    set(faults "${faults}" PARENT_SCOPE)
  endif()
endfunction()

file(STRINGS "${CHANGELOG}" first LIMIT_COUNT 1)
string(REGEX REPLACE "^[a-z0-9.+-]+ \\(([^)]*)\\).*" "\\1" found "${first}")
expect("${CHANGELOG}, newest entry" "${found}")

file(READ "${METAINFO}" xml)
string(REGEX MATCH "<release [^>]*version=\"([^\"]*)\"" unused "${xml}")
expect("${METAINFO}, newest release" "${CMAKE_MATCH_1}")

string(REPLACE "," ";" PAGES "${PAGES}")
foreach(page IN LISTS PAGES)
  file(STRINGS "${page}" th REGEX "^\\.TH ")
  string(REGEX MATCH "\"Tenfold ([^\"]*)\"" unused "${th}")
  expect("${page}, .TH line" "${CMAKE_MATCH_1}")
endforeach()

if(PROGRAM)
  execute_process(COMMAND "${PROGRAM}" --version OUTPUT_VARIABLE out RESULT_VARIABLE rc)
  string(REGEX MATCH "[0-9]+\\.[0-9]+\\.[0-9]+" found "${out}")
  expect("${PROGRAM} --version" "${found}")
endif()

if(NOT faults STREQUAL "")
  message(FATAL_ERROR "the release is not named ${VERSION} everywhere:\n${faults}")
endif()
