# Sources of the driver (see the top-level CMakeLists.txt).
list(APPEND SETUP_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/text.cpp
  ${CMAKE_CURRENT_LIST_DIR}/options.cpp)
