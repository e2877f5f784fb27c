# Installation and the Debian package. Included at the end of the top-level
# CMakeLists.txt, once every program and the resource archive are defined.
if(TENFOLD_CORE_ONLY)
  return()
endif()
include(${PROJECT_SOURCE_DIR}/cmake/InstallDirs.cmake)

# The id software centres know the game by: the desktop entry, its icon and
# the AppStream metadata carry it as their file names.
set(TENFOLD_APP_ID "io.github.tenfold.tenfold")
# Debian looks for a package's documents in doc/<package name>.
set(TENFOLD_DOC_DIR "${CMAKE_INSTALL_DATADIR}/doc/tenfold")

foreach(program tenfold tenfold-pak)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${TENFOLD_INSTALL_GAMESDIR})
    # Every symbol bound at start, so the relocation tables stay read-only
    # (the hardening Debian's checker asks of programs).
    target_link_options(${program} PRIVATE LINKER:-z,now)
  endif()
endforeach()
if(TARGET res120_pak)
  install(FILES "${PROJECT_BINARY_DIR}/res120.pak" DESTINATION ${TENFOLD_INSTALL_GAMEDATADIR})
endif()

# Manual pages and the changelog are installed compressed, as Debian wants
# them: gzip -9, without a time stamp or file name, so builds are repeatable.
set(packaging_dir "${PROJECT_BINARY_DIR}/packaging")
set(compressed "")
function(tenfold_compress source output)
  add_custom_command(OUTPUT "${output}"
                     COMMAND ${CMAKE_COMMAND} -E make_directory "${packaging_dir}"
                     COMMAND sh -c "gzip -9n < \"$1\" > \"$2\"" sh "${source}" "${output}"
                     DEPENDS "${source}"
                     COMMENT "Compressing ${source}"
                     VERBATIM)
  set(compressed ${compressed} "${output}" PARENT_SCOPE)
endfunction()
tenfold_compress("${PROJECT_SOURCE_DIR}/docs/tenfold.6" "${packaging_dir}/tenfold.6.gz")
tenfold_compress("${PROJECT_SOURCE_DIR}/docs/tenfold-pak.1" "${packaging_dir}/tenfold-pak.1.gz")
tenfold_compress("${PROJECT_SOURCE_DIR}/data/changelog" "${packaging_dir}/changelog.gz")
add_custom_target(tenfold_packaging_files ALL DEPENDS ${compressed})

install(FILES "${packaging_dir}/tenfold.6.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
install(FILES "${packaging_dir}/tenfold-pak.1.gz" DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
# A package versioned without a Debian revision is a native one, whose
# changelog is doc/<package>/changelog.gz.
install(FILES "${packaging_dir}/changelog.gz" DESTINATION ${TENFOLD_DOC_DIR})
# The credits name every source and licence: the package's copyright file.
install(FILES "${PROJECT_SOURCE_DIR}/data/CREDITS.txt" DESTINATION ${TENFOLD_DOC_DIR} RENAME copyright)

# The desktop entry names the program by its installed path (see the script).
install(CODE "set(TENFOLD_DESKTOP_SOURCE \"${PROJECT_SOURCE_DIR}/data/${TENFOLD_APP_ID}.desktop\")
set(TENFOLD_DESKTOP_DESTINATION \"${CMAKE_INSTALL_DATADIR}/applications\")
set(TENFOLD_PROGRAM_DESTINATION \"${TENFOLD_INSTALL_GAMESDIR}\")
include(\"${PROJECT_SOURCE_DIR}/cmake/InstallDesktopEntry.cmake\")")
install(FILES "${PROJECT_SOURCE_DIR}/data/${TENFOLD_APP_ID}.svg"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES "${PROJECT_SOURCE_DIR}/data/${TENFOLD_APP_ID}.metainfo.xml"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(TENFOLD_PACKAGE_MAINTAINER "Tenfold developers <tenfold@users.noreply.github.com>" CACHE STRING
    "Maintainer of the Debian package, as \"Name <mail address>\"")

set(CPACK_PACKAGE_NAME "tenfold")
set(CPACK_PACKAGE_VENDOR "Tenfold developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
# Debian's synopsis: a phrase without a leading article.
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "trick-taking card game against three computer players")
set(CPACK_PACKAGE_DESCRIPTION [=[
Tenfold is a trick-taking card game for one player against three computer
players. Each deal one player chooses one of ten contracts: four trump
contracts and six negative ones. A match is twenty deals, and the lowest
total wins. The package also holds tenfold-pak, a tool for the game's
resource archives.]=])
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/tenfold/tenfold")
set(CPACK_PACKAGE_INSTALL_DIRECTORY "tenfold")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
# Staged below DESTDIR with the prefix the package installs to, so what the
# install step writes into files (the desktop entry's program) is that path.
set(CPACK_SET_DESTDIR ON)
set(CPACK_INSTALL_PREFIX "${CPACK_PACKAGING_INSTALL_PREFIX}")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${TENFOLD_PACKAGE_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The shared libraries the programs link decide the package's dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack puts the summary in front of this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
# The staged programs are stripped as Debian strips them, which CPack's own
# stripping does not do fully (it keeps the compiler's .comment section).
set(CPACK_STRIP_FILES OFF)
set(CPACK_TENFOLD_STRIP "${CMAKE_STRIP}")
set(CPACK_PRE_BUILD_SCRIPTS "${PROJECT_SOURCE_DIR}/cmake/DebianStrip.cmake")
include(CPack)
