# Run by CPack on the staged files before it packs them (CPACK_PRE_BUILD_SCRIPTS):
# strips every ELF file the way Debian's packaging does, symbols and the
# .comment and .note sections, which name the compiler and nothing else.
if(NOT CPACK_TENFOLD_STRIP)
  message(FATAL_ERROR "no strip program was found when the build was configured")
endif()
file(GLOB_RECURSE staged LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS staged)
  if(IS_SYMLINK "${file}")
    continue()
  endif()
  file(READ "${file}" magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    execute_process(COMMAND "${CPACK_TENFOLD_STRIP}" --remove-section=.comment --remove-section=.note "${file}"
                    RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0)
      message(FATAL_ERROR "cannot strip ${file}")
    endif()
  endif()
endforeach()
