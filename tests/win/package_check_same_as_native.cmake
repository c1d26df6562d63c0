# package-check.exe under Wine prints the same bytes, and exits with the same
# code, as the native package-check on the same folders: the sample packages
# and a copy of the XML one with several mistakes.
#   cmake -DNATIVE=... -DWINDOWS=... -DWINE=... -DBUILD=... -P this file
foreach(var NATIVE WINDOWS WINE BUILD)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
if(NOT EXISTS "${NATIVE}")
  message(FATAL_ERROR "no native package-check at ${NATIVE}: build the native preset first")
endif()

set(work "${BUILD}/package-check-compare")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")
file(COPY "${BUILD}/package/" DESTINATION "${work}/sample")
file(COPY "${BUILD}/package-ini/" DESTINATION "${work}/sample-ini")
file(COPY "${BUILD}/package/" DESTINATION "${work}/broken")
file(REMOVE "${work}/broken/nvxlibb.dll")
file(READ "${work}/broken/NvxSetup.dat" settings)
string(REPLACE "[STRINGS.0407]\nGROUP=Ravozeve Vuzizirer" "[STRINGS.0407]\nGROUP=%MENU%\n\n[strings.0411]" settings "${settings}")
string(REPLACE "IMAGEPATH=C:\\NvxImages;" "IMAGEPATH=Images;;" settings "${settings}")
file(WRITE "${work}/broken/NvxSetup.dat" "${settings}")
file(READ "${work}/broken/VOD.xml" descriptor)
# A title with an e acute and a Cyrillic letter (UTF-8), which code page 1252 lacks.
string(ASCII 195 169 208 150 letters)
string(REPLACE "<title>Ravozeve" "<title>${letters} Ravozeve" descriptor "${descriptor}")
file(WRITE "${work}/broken/VOD.xml" "${descriptor}")

foreach(run "sample" "sample-ini" "broken" "broken;--json" "broken;--lang;0411;--lang;0419")
  execute_process(COMMAND "${NATIVE}" ${run} WORKING_DIRECTORY "${work}"
                  OUTPUT_VARIABLE native_out RESULT_VARIABLE native_code)
  execute_process(COMMAND "${WINE}" "${WINDOWS}" ${run} WORKING_DIRECTORY "${work}"
                  OUTPUT_VARIABLE windows_out RESULT_VARIABLE windows_code ERROR_QUIET)
  if(NOT native_out STREQUAL windows_out OR NOT native_code STREQUAL windows_code)
    message(FATAL_ERROR "package-check ${run}: native (exit ${native_code}):\n${native_out}\n"
                        "Windows (exit ${windows_code}):\n${windows_out}")
  endif()
  message(STATUS "package-check ${run}: exit ${native_code}, same output")
endforeach()
