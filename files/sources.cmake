# Sources of the file subsystem (see the top-level CMakeLists.txt).
list(APPEND SETUP_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/program_files.cpp)
