# Sources of the registry subsystem (see the top-level CMakeLists.txt).
list(APPEND SETUP_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/product_key.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uninstall_entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/browser_button.cpp)
