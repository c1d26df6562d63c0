# The XML engine's benchmark against pugixml (Debian's libpugixml-dev); see
# bench/run.sh, which builds it optimised and without sanitizers.
if(SETUP_BENCH AND NOT WIN32)
  add_executable(xml_bench ${CMAKE_CURRENT_LIST_DIR}/xml_bench.cpp)
  target_link_libraries(xml_bench PRIVATE xml_engine pugixml)
endif()
