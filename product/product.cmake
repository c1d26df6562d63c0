# The stand-in product DidIve.exe and the package's own unicows.dll (Windows
# builds only; both go into the sample package, see samples/package.cmake).
add_executable(didive WIN32 ${CMAKE_CURRENT_LIST_DIR}/didive.cpp)
target_compile_options(didive PRIVATE ${SETUP_CODE_FLAGS})
target_link_libraries(didive PRIVATE setup_common)
target_link_options(didive PRIVATE -s)
set_target_properties(didive PROPERTIES OUTPUT_NAME DidIve)

add_library(unicows SHARED ${CMAKE_CURRENT_LIST_DIR}/unicows.cpp ${CMAKE_CURRENT_LIST_DIR}/unicows.def)
target_compile_options(unicows PRIVATE ${SETUP_CODE_FLAGS})
# The .def names the undecorated functions; on i686 they carry @n.
target_link_options(unicows PRIVATE -s -Wl,--enable-stdcall-fixup)
set_target_properties(unicows PROPERTIES PREFIX "" OUTPUT_NAME unicows)
