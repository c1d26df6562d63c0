# Delay-import libraries: a DLL imported through one is loaded at the first
# call of one of its functions instead of at the program's start. By then the
# program has restricted the DLL search of the process, and its own helper
# (common/system_library.cpp) takes the DLL from the system folder by full
# path, so no DLL beside setup.exe is loaded in its place.
#
# setup_delay_import(<variable> <DLL name> ...) makes one library per DLL from
# the toolchain's import library and puts the list of them into <variable>.
find_program(SETUP_DLLTOOL NAMES ${CMAKE_SYSTEM_PROCESSOR}-w64-mingw32-dlltool REQUIRED)

function(setup_delay_import variable)
  set(libraries "")
  # i686 names carry their argument size ("MessageBoxA@16"); the DLL exports
  # them without it.
  if(CMAKE_SYSTEM_PROCESSOR STREQUAL "i686")
    set(prefix "__imp__")
    set(kill_at "-k")
  else()
    set(prefix "__imp_")
    set(kill_at "")
  endif()
  foreach(dll ${ARGN})
    string(REGEX REPLACE "\\.[dD][lL][lL]$" "" base "${dll}")
    string(TOLOWER "${base}" base)
    set(import ${CMAKE_FIND_ROOT_PATH}/lib/lib${base}.a)
    set(def ${CMAKE_BINARY_DIR}/delay/${base}.def)
    set(library ${CMAKE_BINARY_DIR}/delay/lib${base}_delay.a)
    add_custom_command(
      OUTPUT ${library}
      COMMAND ${CMAKE_COMMAND} -DNM=${CMAKE_NM} -DIMPORT=${import} -DDLL=${dll} -DPREFIX=${prefix}
              -DDEF=${def} -P ${CMAKE_SOURCE_DIR}/cmake/delay-def.cmake
      COMMAND ${SETUP_DLLTOOL} -d ${def} -y ${library} -D ${dll} ${kill_at}
      DEPENDS ${import} ${CMAKE_SOURCE_DIR}/cmake/delay-def.cmake
      COMMENT "Delay-import library of ${dll}"
      VERBATIM)
    list(APPEND libraries ${library})
  endforeach()
  add_custom_target(${variable}_target DEPENDS ${libraries})
  set(${variable} ${libraries} PARENT_SCOPE)
endfunction()
