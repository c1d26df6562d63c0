# Command-line tools for package authors, built natively and for Windows.
add_executable(descriptor-query ${CMAKE_SOURCE_DIR}/tools/descriptor-query.cpp)
if(WIN32)
  target_link_libraries(descriptor-query PRIVATE setup_core)
else()
  target_link_libraries(descriptor-query PRIVATE setup_portable)
endif()
target_compile_options(descriptor-query PRIVATE ${SETUP_WARNINGS} -Werror)

# The tests run the tool, so they are built after it (the test targets are
# defined after this file is read).
function(setup_tools_test_dependencies)
  foreach(tests native_tests unit_tests)
    if(TARGET ${tests})
      add_dependencies(${tests} descriptor-query)
    endif()
  endforeach()
endfunction()
cmake_language(DEFER CALL setup_tools_test_dependencies)
