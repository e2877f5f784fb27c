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
)
target_include_directories(tenfold_dialogs PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(tenfold_dialogs PUBLIC PkgConfig::GTKMM tenfold_pak)
target_compile_definitions(tenfold_dialogs PRIVATE
  TENFOLD_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
  TENFOLD_VERSION_MINOR=${PROJECT_VERSION_MINOR}
  TENFOLD_VERSION_PATCH=${PROJECT_VERSION_PATCH}
)
