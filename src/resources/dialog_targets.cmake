# The gtkmm dialogs: the start dialog, the PAK browser and the message boxes.
# Kept in their own library so the rule engine and the SDL layer never see GTK.
if(TENFOLD_CORE_ONLY)
  return()
endif()

find_package(PkgConfig REQUIRED)
pkg_check_modules(GTKMM REQUIRED IMPORTED_TARGET gtkmm-3.0)

add_library(tenfold_dialogs STATIC
  ${CMAKE_CURRENT_LIST_DIR}/start_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/message_box.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pak_browser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/start_road.cpp
  ${CMAKE_CURRENT_BINARY_DIR}/credits_text.cpp
)
target_include_directories(tenfold_dialogs PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tenfold_dialogs PUBLIC PkgConfig::GTKMM tenfold_pak tenfold_player_files)
# The credits ship inside the program, so the "Credits" tab never comes up empty.
set(TENFOLD_CREDITS "${PROJECT_SOURCE_DIR}/data/CREDITS.txt")
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/credits_text.cpp
  COMMAND ${CMAKE_COMMAND} -DINPUT=${TENFOLD_CREDITS}
          -DOUTPUT=${CMAKE_CURRENT_BINARY_DIR}/credits_text.cpp -DFUNCTION=CreditsText
          -P ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
  DEPENDS ${TENFOLD_CREDITS} ${PROJECT_SOURCE_DIR}/cmake/EmbedText.cmake
  COMMENT "Building the credits text into the program"
  VERBATIM)

# From the installed executable's folder to the installed data folder.
include(${PROJECT_SOURCE_DIR}/cmake/InstallDirs.cmake)

target_compile_definitions(tenfold_dialogs PRIVATE
  TENFOLD_DATA_FROM_BIN="${TENFOLD_DATA_FROM_BIN}"
  TENFOLD_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  TENFOLD_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  TENFOLD_VERSION_PATCH=${PROJECT_VERSION_PATCH}
)
