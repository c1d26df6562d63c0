# Command-line tools for package authors, built natively and for Windows.
add_executable(descriptor-query ${CMAKE_SOURCE_DIR}/tools/descriptor-query.cpp
               ${CMAKE_SOURCE_DIR}/tools/whole_file.cpp)
target_link_libraries(descriptor-query PRIVATE setup_package xml_engine)
target_compile_options(descriptor-query PRIVATE ${SETUP_WARNINGS} -Werror)

# package-check reads a package folder with the setup's own readers.
add_executable(package-check ${CMAKE_SOURCE_DIR}/tools/package-check.cpp
               ${CMAKE_SOURCE_DIR}/tools/whole_file.cpp)
target_link_libraries(package-check PRIVATE setup_package setup_files xml_engine)
target_compile_options(package-check PRIVATE ${SETUP_WARNINGS} -Werror)
