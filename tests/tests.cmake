# Native tests: the code that needs no Windows, under the sanitizers.
# Windows tests: unit tests of the Windows code, and end-to-end runs of
# setup.exe; both run under Wine through the cross-compiling emulator.
# Discovery runs when the tests do (CTest's PRE_TEST mode), so building runs
# no test program, under Wine or otherwise.

# A test program linking what tests need, built after everything it runs.
function(setup_add_test_program name)
  cmake_parse_arguments(ARG "" "TIMEOUT;LABELS" "SOURCES;LINK" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(${name} PRIVATE ${ARG_LINK})
  foreach(needed setup didive unicows setup-package desktop_keeper dll_marker descriptor-query package-check)
    if(TARGET ${needed})
      add_dependencies(${name} ${needed})
    endif()
  endforeach()
  if(ARG_TIMEOUT)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 180 NO_PRETTY_VALUES
                         PROPERTIES TIMEOUT ${ARG_TIMEOUT} LABELS "${ARG_LABELS}")
  endif()
endfunction()

if(WIN32)
  file(GLOB SETUP_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
  file(GLOB SETUP_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)
  file(GLOB SETUP_LANGUAGE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/language/*.cpp)

  add_library(test_support STATIC ${CMAKE_SOURCE_DIR}/tests/support/support.cpp
              ${CMAKE_SOURCE_DIR}/tests/support/resource_texts.cpp
              ${CMAKE_SOURCE_DIR}/tests/support/window_watcher.cpp)
  target_include_directories(test_support PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(test_support PUBLIC SETUP_BUILD_DIR="${CMAKE_BINARY_DIR}"
                             SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(test_support PUBLIC setup_driver gtest)

  # Fixtures: the desktop keeper of the test runs, and a DLL that records its
  # loads, planted under system DLL names.
  add_executable(desktop_keeper WIN32 ${CMAKE_SOURCE_DIR}/tests/support/desktop_keeper.cpp)
  target_link_options(desktop_keeper PRIVATE -s)
  add_library(dll_marker SHARED ${CMAKE_SOURCE_DIR}/tests/support/dll_marker.cpp)
  set_target_properties(dll_marker PROPERTIES PREFIX "")
  target_link_options(dll_marker PRIVATE -s)

  # The unit tests load strings and dialogs from their own module, as setup.exe does.
  setup_add_test_program(unit_tests TIMEOUT 120
    SOURCES ${SETUP_UNIT_TESTS} ${CMAKE_SOURCE_DIR}/resources/setup.rc
    LINK test_support gtest_main)
  target_include_directories(unit_tests PRIVATE ${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/resources)
  # Label wow64: the runs that the 32-bit build also makes in a 64-bit
  # prefix, as most of its users run it (ctest preset wow64).
  setup_add_test_program(e2e_tests TIMEOUT 240 LABELS wow64 SOURCES ${SETUP_E2E_TESTS}
                         LINK test_support gtest_main)
  # The pictures of docs/: a program that scripts/screenshots.sh runs, no test.
  setup_add_test_program(screenshots SOURCES ${CMAKE_SOURCE_DIR}/tests/screenshots/screenshots.cpp
                         LINK test_support gtest_main)
  set_target_properties(screenshots PROPERTIES EXCLUDE_FROM_ALL ON)

  # package-check.exe against the native one on the same folders; the
  # native build folder is the native preset's unless given.
  set(SETUP_NATIVE_PACKAGE_CHECK ${CMAKE_SOURCE_DIR}/build/native/package-check CACHE FILEPATH
      "The native package-check the Windows one is compared with")
  add_test(NAME PackageCheck.SameAsNative
           COMMAND ${CMAKE_COMMAND} -DNATIVE=${SETUP_NATIVE_PACKAGE_CHECK}
                   -DWINDOWS=$<TARGET_FILE:package-check> -DWINE=${CMAKE_CROSSCOMPILING_EMULATOR}
                   -DBUILD=${CMAKE_BINARY_DIR}
                   -P ${CMAKE_SOURCE_DIR}/tests/win/package_check_same_as_native.cmake)
  set_tests_properties(PackageCheck.SameAsNative PROPERTIES TIMEOUT 240)

  # setup.exe under each system language: Wine takes a process's language from
  # the locale it starts under and hands it down to the processes it starts,
  # so each language is one run of language_tests with its own LANG.
  setup_add_test_program(language_tests SOURCES ${SETUP_LANGUAGE_TESTS} LINK test_support gtest_main)
  set(SETUP_LOCALE_ENVIRONMENT "LC_ALL=unset:;LC_MESSAGES=unset:;LC_CTYPE=unset:")
  # pt_BR: a language the program lacks, which shows English.
  foreach(locale en_US de_DE fr_FR ja_JP ko_KR zh_TW zh_CN sv_SE nb_NO da_DK fi_FI it_IT
                 nl_NL es_ES pt_BR)
    add_test(NAME SystemLanguage.${locale} COMMAND language_tests --gtest_filter=SystemLanguage*)
    set_tests_properties(SystemLanguage.${locale} PROPERTIES TIMEOUT 240
      ENVIRONMENT_MODIFICATION "LANG=set:${locale}.UTF-8;${SETUP_LOCALE_ENVIRONMENT};SETUP_TEST_LOCALE=set:${locale}")
  endforeach()
  # Paths of the program folder and group: one locale per ANSI code page.
  foreach(locale ja_JP zh_TW zh_CN ko_KR en_US)
    add_test(NAME CodePagePaths.${locale} COMMAND language_tests --gtest_filter=CodePagePaths.*)
    set_tests_properties(CodePagePaths.${locale} PROPERTIES TIMEOUT 240
      ENVIRONMENT_MODIFICATION "LANG=set:${locale}.UTF-8;${SETUP_LOCALE_ENVIRONMENT}")
  endforeach()
  set_tests_properties(SystemLanguage.ja_JP PROPERTIES LABELS wow64)
else()
  file(GLOB SETUP_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
  setup_add_test_program(native_tests TIMEOUT 120 SOURCES ${SETUP_NATIVE_TESTS}
    LINK setup_driver gtest_main)
  target_compile_definitions(native_tests PRIVATE SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
                             SETUP_BUILD_DIR="${CMAKE_BINARY_DIR}")
endif()
