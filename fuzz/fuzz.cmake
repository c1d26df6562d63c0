# The XML engine's libFuzzer target (clang); see fuzz/run.sh.
if(SETUP_FUZZ AND NOT WIN32)
  add_executable(xml_fuzz ${CMAKE_CURRENT_LIST_DIR}/xml_fuzz.cpp)
  target_compile_options(xml_fuzz PRIVATE ${SETUP_WARNINGS} -Werror)
  target_link_libraries(xml_fuzz PRIVATE xml_engine)
  target_link_options(xml_fuzz PRIVATE -fsanitize=fuzzer)
endif()
