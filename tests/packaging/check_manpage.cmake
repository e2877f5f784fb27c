# Checks a manual page against its program:
#   cmake -DPROGRAM=<exe> -DPAGE=<man source> [-DMAN=<man>] -P check_manpage.cmake
# - every option and command that "PROGRAM --help" (and "PROGRAM COMMAND
#   --help" for each command it lists) prints appears in the page;
# - every option the page's SYNOPSIS and OPTIONS sections name is one the
#   program still has;
# - with MAN found, the page renders without a warning from man or groff.

cmake_minimum_required(VERSION 3.25)

foreach(var PROGRAM PAGE)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()

# The help's option column: "  -C,--directory TEXT   ..." gives -C and --directory.
# Commands are listed under "Subcommands:" as "  name   description".
function(read_help text out_options out_commands)
  string(REPLACE ";" "," text "${text}")
  string(REPLACE "\n" ";" lines "${text}")
  set(options "")
  set(commands "")
  set(section "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^([A-Za-z]+):$")
      set(section "${CMAKE_MATCH_1}")
    elseif(line MATCHES "^  (-[^ ]+)")
      string(REPLACE "," ";" names "${CMAKE_MATCH_1}")
      foreach(name IN LISTS names)
        if(name MATCHES "^--?[A-Za-z0-9][A-Za-z0-9-]*$")
          list(APPEND options "${name}")
        endif()
      endforeach()
    elseif(section STREQUAL "Subcommands" AND line MATCHES "^  ([a-z][a-z0-9-]*)( |$)")
      list(APPEND commands "${CMAKE_MATCH_1}")
    endif()
  endforeach()
  set(${out_options} "${options}" PARENT_SCOPE)
  set(${out_commands} "${commands}" PARENT_SCOPE)
endfunction()

function(run_help out)
  execute_process(COMMAND "${PROGRAM}" ${ARGN} --help
                  OUTPUT_VARIABLE text ERROR_VARIABLE err RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR text STREQUAL "")
    message(FATAL_ERROR "'${PROGRAM} ${ARGN} --help' failed (${rc}): ${err}")
  endif()
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Words of roff source as a reader sees them: escapes for fonts, hyphens,
# spaces and breaks undone, comments left out. Returns one item per line.
function(plain_lines source out)
  string(REPLACE ";" "," source "${source}")
  string(REGEX REPLACE "\\\\f(\\[[^]]*\\]|\\(..|.)" "" source "${source}")
  string(REGEX REPLACE "\\\\[-]" "-" source "${source}")
  string(REGEX REPLACE "\\\\[~ ]" " " source "${source}")
  string(REGEX REPLACE "\\\\[%&|^]" "" source "${source}")
  string(REPLACE "\n" ";" lines "${source}")
  list(FILTER lines EXCLUDE REGEX "^\\.\\\\\"")
  set(${out} "${lines}" PARENT_SCOPE)
endfunction()

# Option-like words (-x, --long-name) and plain words of a text.
function(words_of text out_options out_words)
  string(REGEX MATCHALL "(^|[^A-Za-z0-9-])--?[A-Za-z0-9][A-Za-z0-9-]*" found "${text}")
  set(options "")
  foreach(f IN LISTS found)
    string(REGEX REPLACE "^[^-]" "" f "${f}")
    list(APPEND options "${f}")
  endforeach()
  string(REGEX MATCHALL "[A-Za-z][A-Za-z0-9-]*" words "${text}")
  set(${out_options} "${options}" PARENT_SCOPE)
  set(${out_words} "${words}" PARENT_SCOPE)
endfunction()

run_help(help)
read_help("${help}" help_options commands)
foreach(command IN LISTS commands)
  run_help(sub_help ${command})
  read_help("${sub_help}" sub_options sub_commands)
  list(APPEND help_options ${sub_options})
endforeach()
list(REMOVE_DUPLICATES help_options)
if(help_options STREQUAL "")
  message(FATAL_ERROR "no option found in the output of '${PROGRAM} --help':\n${help}")
endif()

file(READ "${PAGE}" source)
plain_lines("${source}" lines)
set(all "")
set(documented "")
set(section "")
foreach(line IN LISTS lines)
  if(line MATCHES "^\\.SH +\"?([^\"]*)\"?$")
    set(section "${CMAKE_MATCH_1}")
  endif()
  string(APPEND all " ${line}")
  if(section MATCHES "^(SYNOPSIS|OPTIONS)$")
    string(APPEND documented " ${line}")
  endif()
endforeach()
words_of("${all}" page_options page_words)
words_of("${documented}" documented_options unused)

set(faults "")
foreach(option IN LISTS help_options)
  if(NOT option IN_LIST page_options)
    string(APPEND faults "  ${option}: printed by --help, missing from the page\n")
  endif()
endforeach()
foreach(command IN LISTS commands)
  if(NOT command IN_LIST page_words)
    string(APPEND faults "  ${command}: a command --help lists, missing from the page\n")
  endif()
endforeach()
foreach(option IN LISTS documented_options)
  if(NOT option IN_LIST help_options)
    string(APPEND faults "  ${option}: in the page's synopsis or options, unknown to --help\n")
  endif()
endforeach()
list(REMOVE_DUPLICATES faults)

if(MAN)
  # The warnings Debian's checker looks for: undefined macros, bad escapes, lines that do not fit.
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 MANWIDTH=80
                          "${MAN}" --warnings -E UTF-8 -l -Tutf8 -Z "${PAGE}"
                  OUTPUT_QUIET ERROR_VARIABLE warnings RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
    string(APPEND faults "  rendering failed (${rc}):\n${warnings}")
  endif()
endif()

if(NOT faults STREQUAL "")
  message(FATAL_ERROR "${PAGE} does not match '${PROGRAM} --help':\n${faults}")
endif()
list(LENGTH help_options n)
message(STATUS "${PAGE}: all ${n} options of ${PROGRAM} documented")
