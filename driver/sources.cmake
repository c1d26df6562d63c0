# Sources of the driver (see the top-level CMakeLists.txt).
list(APPEND SETUP_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/option_word.cpp)
list(APPEND SETUP_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/options.cpp
  ${CMAKE_CURRENT_LIST_DIR}/setup_sequence.cpp
  ${CMAKE_CURRENT_LIST_DIR}/step_lists.cpp
  ${CMAKE_CURRENT_LIST_DIR}/instance_check.cpp
  ${CMAKE_CURRENT_LIST_DIR}/finish_run.cpp
  ${CMAKE_CURRENT_LIST_DIR}/environment.cpp
  ${CMAKE_CURRENT_LIST_DIR}/progress.cpp
  ${CMAKE_CURRENT_LIST_DIR}/agent_registration.cpp)
