# Installation and the Debian package. Included at the end of the top-level
# CMakeLists.txt, once every program and the resource archive are defined.
if(TENFOLD_CORE_ONLY)
  return()
endif()

# The game looks for its archive beside the executable first, then in its
# installed data folder, found from the executable's folder by this path.
set(TENFOLD_DATA_DIR "${CMAKE_INSTALL_DATADIR}/tenfold")

# tools/pak installs tenfold-pak itself.
if(TARGET tenfold)
  install(TARGETS tenfold RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
if(TARGET res120_pak)
  install(FILES "${PROJECT_BINARY_DIR}/res120.pak" DESTINATION ${TENFOLD_DATA_DIR})
endif()
if(EXISTS "${PROJECT_SOURCE_DIR}/data/CREDITS.txt")
  install(FILES "${PROJECT_SOURCE_DIR}/data/CREDITS.txt" DESTINATION ${TENFOLD_DATA_DIR})
  install(FILES "${PROJECT_SOURCE_DIR}/data/CREDITS.txt" DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tenfold)
  # Debian looks for every package's sources and licences in doc/<package>/copyright.
  install(FILES "${PROJECT_SOURCE_DIR}/data/CREDITS.txt" DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tenfold
          RENAME copyright)
endif()
install(FILES "${PROJECT_SOURCE_DIR}/data/tenfold.desktop"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES "${PROJECT_SOURCE_DIR}/data/tenfold.svg"
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# The desktop entry must pass the freedesktop validator, or menus skip it.
find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  add_test(NAME packaging.desktop_entry
           COMMAND ${DESKTOP_FILE_VALIDATE} "${PROJECT_SOURCE_DIR}/data/tenfold.desktop")
endif()

set(CPACK_PACKAGE_NAME "tenfold")
set(CPACK_PACKAGE_VENDOR "Tenfold developers")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [=[
Tenfold is a trick-taking card game for one player against three computer
players. Each deal one player chooses one of ten contracts: four trump
contracts and six negative ones. A match is twenty deals, and the lowest
total wins. The package also holds tenfold-pak, a tool for the game's
resource archives.]=])
set(CPACK_PACKAGE_INSTALL_DIRECTORY "tenfold")
set(CPACK_PACKAGING_INSTALL_PREFIX "/usr")
set(CPACK_GENERATOR "DEB")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tenfold developers <tenfold@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION "games")
set(CPACK_DEBIAN_PACKAGE_PRIORITY "optional")
# The shared libraries the programs link decide the package's dependencies.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# CPack puts the summary in front of this as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_STRIP_FILES ON)
include(CPack)
