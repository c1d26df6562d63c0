# Sources of the package subsystem (see the top-level CMakeLists.txt).
list(APPEND SETUP_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/setting_lookup.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_group.cpp
  ${CMAKE_CURRENT_LIST_DIR}/descriptor_key_map.cpp
  ${CMAKE_CURRENT_LIST_DIR}/target_rules.cpp)
list(APPEND SETUP_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/setup_package.cpp
  ${CMAKE_CURRENT_LIST_DIR}/settings.cpp
  ${CMAKE_CURRENT_LIST_DIR}/target_choice.cpp
  ${CMAKE_CURRENT_LIST_DIR}/install_dialog.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_browser.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_folders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shortcuts.cpp
  ${CMAKE_CURRENT_LIST_DIR}/old_group_shortcuts.cpp)
