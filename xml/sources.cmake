# Sources of the XML document engine (see the top-level CMakeLists.txt).
list(APPEND SETUP_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/memory.cpp
  ${CMAKE_CURRENT_LIST_DIR}/codepage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/native_codepage.cpp
  ${CMAKE_CURRENT_LIST_DIR}/parse.cpp
  ${CMAKE_CURRENT_LIST_DIR}/query.cpp
  ${CMAKE_CURRENT_LIST_DIR}/variant.cpp)
