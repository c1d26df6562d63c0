# Native tests: the code that needs no Windows, under the sanitizers.
# Windows tests: unit tests of the Windows code, and end-to-end runs of
# setup.exe; both run under Wine through the cross-compiling emulator.
if(WIN32)
  file(GLOB SETUP_UNIT_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
  file(GLOB SETUP_TEST_SUPPORT CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/support/*.cpp)
  file(GLOB SETUP_E2E_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/e2e/*.cpp)

  add_library(test_support STATIC ${SETUP_TEST_SUPPORT} ${CMAKE_SOURCE_DIR}/tests/support/support.h)
  target_include_directories(test_support PUBLIC ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/tests)
  target_compile_definitions(test_support PUBLIC SETUP_BUILD_DIR="${CMAKE_BINARY_DIR}"
                             SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
  target_link_libraries(test_support PUBLIC setup_core gtest)

  if(SETUP_UNIT_TESTS)
    # The tests load strings and dialogs from their own module, as setup.exe does.
    add_executable(unit_tests ${SETUP_UNIT_TESTS} ${CMAKE_SOURCE_DIR}/resources/setup.rc)
    target_include_directories(unit_tests PRIVATE ${CMAKE_BINARY_DIR}/generated ${CMAKE_SOURCE_DIR}/resources)
    target_link_libraries(unit_tests PRIVATE test_support gtest_main)
    foreach(needed setup didive unicows setup-package desktop_keeper)
      if(TARGET ${needed})
        add_dependencies(unit_tests ${needed})
      endif()
    endforeach()
    gtest_discover_tests(unit_tests DISCOVERY_TIMEOUT 180 NO_PRETTY_VALUES PROPERTIES TIMEOUT 120)
  endif()
  add_executable(desktop_keeper WIN32 ${CMAKE_SOURCE_DIR}/tests/support/desktop_keeper.cpp)
  target_link_options(desktop_keeper PRIVATE -s)

  # A DLL that records its loads, planted under system DLL names.
  add_library(dll_marker SHARED ${CMAKE_SOURCE_DIR}/tests/support/dll_marker.cpp)
  set_target_properties(dll_marker PROPERTIES PREFIX "")
  target_link_options(dll_marker PRIVATE -s)

  if(SETUP_E2E_TESTS)
    add_executable(e2e_tests ${SETUP_E2E_TESTS})
    add_dependencies(e2e_tests dll_marker)
    target_link_libraries(e2e_tests PRIVATE test_support gtest_main)
    foreach(needed setup didive unicows setup-package)
      if(TARGET ${needed})
        add_dependencies(e2e_tests ${needed})
      endif()
    endforeach()
    gtest_discover_tests(e2e_tests DISCOVERY_TIMEOUT 180 NO_PRETTY_VALUES PROPERTIES TIMEOUT 240)
  endif()
  # setup.exe under each system language: Wine takes a process's language from
  # the locale it starts under and hands it down to the processes it starts,
  # so each language is one run of language_tests with its own LANG.
  file(GLOB SETUP_LANGUAGE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/language/*.cpp)
  if(SETUP_LANGUAGE_TESTS)
    add_executable(language_tests ${SETUP_LANGUAGE_TESTS})
    target_link_libraries(language_tests PRIVATE test_support gtest_main)
    foreach(needed setup didive unicows setup-package)
      if(TARGET ${needed})
        add_dependencies(language_tests ${needed})
      endif()
    endforeach()
    # pt_BR: a language the program lacks, which shows English.
    foreach(locale en_US de_DE fr_FR ja_JP ko_KR zh_TW zh_CN sv_SE nb_NO da_DK fi_FI it_IT
                   nl_NL es_ES pt_BR)
      add_test(NAME SystemLanguage.${locale} COMMAND language_tests)
      set_tests_properties(SystemLanguage.${locale} PROPERTIES TIMEOUT 240
        ENVIRONMENT_MODIFICATION "LANG=set:${locale}.UTF-8;LC_ALL=unset:;LC_MESSAGES=unset:;LC_CTYPE=unset:;SETUP_TEST_LOCALE=set:${locale}")
    endforeach()
  endif()
else()
  file(GLOB SETUP_NATIVE_TESTS CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
  if(SETUP_NATIVE_TESTS)
    add_executable(native_tests ${SETUP_NATIVE_TESTS})
    target_include_directories(native_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
    target_compile_definitions(native_tests PRIVATE SETUP_SOURCE_DIR="${CMAKE_SOURCE_DIR}" SETUP_BUILD_DIR="${CMAKE_BINARY_DIR}")
    target_link_libraries(native_tests PRIVATE setup_portable gtest_main)
    gtest_discover_tests(native_tests DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
  endif()
endif()
