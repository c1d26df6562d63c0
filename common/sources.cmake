# Sources of the shared bottom layer (see the top-level CMakeLists.txt).
list(APPEND SETUP_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/path_text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/program_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/text.cpp)
list(APPEND SETUP_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/folders.cpp
  ${CMAKE_CURRENT_LIST_DIR}/os_version.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_change.cpp
  ${CMAKE_CURRENT_LIST_DIR}/system_library.cpp)
