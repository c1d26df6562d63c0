# Sources of the registry subsystem (see the top-level CMakeLists.txt).
list(APPEND SETUP_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/registry_text.cpp)
list(APPEND SETUP_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/registry_io.cpp
  ${CMAKE_CURRENT_LIST_DIR}/product_key.cpp
  ${CMAKE_CURRENT_LIST_DIR}/product_key_readers.cpp
  ${CMAKE_CURRENT_LIST_DIR}/search_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/package_entries.cpp
  ${CMAKE_CURRENT_LIST_DIR}/uninstall_entry.cpp
  ${CMAKE_CURRENT_LIST_DIR}/browser_button.cpp)
