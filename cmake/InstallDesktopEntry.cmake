# Run at install time (from Packaging.cmake): installs the desktop entry with
# its Exec naming the installed program by its full path. Menus hide an entry
# whose program is not on the PATH, and the PATH of root, of services and of
# some desktop sessions has no games folder. Expects TENFOLD_DESKTOP_SOURCE,
# TENFOLD_DESKTOP_DESTINATION and TENFOLD_PROGRAM_DESTINATION, the last two
# relative to the install prefix or absolute.
foreach(dir TENFOLD_DESKTOP_DESTINATION TENFOLD_PROGRAM_DESTINATION)
  if(NOT IS_ABSOLUTE "${${dir}}")
    set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
  endif()
endforeach()
file(READ "${TENFOLD_DESKTOP_SOURCE}" entry)
string(REGEX REPLACE "\nExec=tenfold( |\n)" "\nExec=${TENFOLD_PROGRAM_DESTINATION}/tenfold\\1" installed "${entry}")
if(installed STREQUAL entry)
  message(FATAL_ERROR "${TENFOLD_DESKTOP_SOURCE} has no line 'Exec=tenfold'")
endif()
get_filename_component(name "${TENFOLD_DESKTOP_SOURCE}" NAME)
set(target "$ENV{DESTDIR}${TENFOLD_DESKTOP_DESTINATION}/${name}")
message(STATUS "Installing: ${target}")
file(WRITE "${target}" "${installed}")
file(CHMOD "${target}" PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
