# Command-line tools for package authors, built natively and for Windows.
add_executable(descriptor-query ${CMAKE_SOURCE_DIR}/tools/descriptor-query.cpp)
target_link_libraries(descriptor-query PRIVATE setup_package xml_engine)
target_compile_options(descriptor-query PRIVATE ${SETUP_WARNINGS} -Werror)
