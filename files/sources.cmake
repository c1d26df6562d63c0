# Sources of the file subsystem (see the top-level CMakeLists.txt).
list(APPEND SETUP_PORTABLE_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/multi_string.cpp
  ${CMAKE_CURRENT_LIST_DIR}/pending_renames.cpp)
list(APPEND SETUP_WIN_SOURCES
  ${CMAKE_CURRENT_LIST_DIR}/program_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/staging_folder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/folder_path.cpp
  ${CMAKE_CURRENT_LIST_DIR}/shell_files.cpp
  ${CMAKE_CURRENT_LIST_DIR}/restart_operations.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_access.cpp
  ${CMAKE_CURRENT_LIST_DIR}/file_decryption.cpp)
