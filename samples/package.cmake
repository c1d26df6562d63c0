# Target setup-package: assembles the sample setup packages from the built
# programs and the texts in this folder (Windows builds only):
#   <build>/package      XML package (descriptor VOD.xml)
#   <build>/package-ini  INI package (descriptor DidIve.nvx)
if(WIN32)
  set(SETUP_PACKAGE_STAMP ${CMAKE_BINARY_DIR}/package.stamp)
  set(SETUP_PACKAGE_TEXTS
    ${CMAKE_CURRENT_LIST_DIR}/NvxSetup.dat
    ${CMAKE_CURRENT_LIST_DIR}/VOD.xml
    ${CMAKE_CURRENT_LIST_DIR}/DidIve.nvx)
  add_custom_command(
    OUTPUT ${SETUP_PACKAGE_STAMP}
    COMMAND ${CMAKE_COMMAND}
            -DSETUP_EXE=$<TARGET_FILE:setup>
            -DPRODUCT_EXE=$<TARGET_FILE:didive>
            -DUNICOWS_DLL=$<TARGET_FILE:unicows>
            -DSAMPLES_DIR=${CMAKE_CURRENT_LIST_DIR}
            -DXML_PACKAGE_DIR=${CMAKE_BINARY_DIR}/package
            -DINI_PACKAGE_DIR=${CMAKE_BINARY_DIR}/package-ini
            -P ${CMAKE_CURRENT_LIST_DIR}/assemble-package.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${SETUP_PACKAGE_STAMP}
    DEPENDS setup didive unicows ${SETUP_PACKAGE_TEXTS} ${CMAKE_CURRENT_LIST_DIR}/assemble-package.cmake
    COMMENT "Assembling the sample setup packages"
    VERBATIM)
  add_custom_target(setup-package ALL DEPENDS ${SETUP_PACKAGE_STAMP})
endif()
