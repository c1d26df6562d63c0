# Assembles one XML and one INI setup package (run by target setup-package):
#   cmake -DSETUP_EXE=... -DPRODUCT_EXE=... -DUNICOWS_DLL=... -DSAMPLES_DIR=...
#         -DXML_PACKAGE_DIR=... -DINI_PACKAGE_DIR=... -P assemble-package.cmake
# Each folder is made afresh so that nothing of an earlier layout stays.
foreach(var SETUP_EXE PRODUCT_EXE UNICOWS_DLL SAMPLES_DIR XML_PACKAGE_DIR INI_PACKAGE_DIR)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "assemble-package: ${var} is not set")
  endif()
endforeach()

# Program files the setup only copies; the packages carry a line of text for each.
set(STAND_IN_FILES
  NvxSetup.dll
  NVXSYSID.sys
  NVXSYSID.vxd
  nvxliba.dll
  nvxlibb.dll
  NVXNTDEV.sys
  NvxFlash.dll)

function(assemble_package dir descriptor)
  file(REMOVE_RECURSE "${dir}")
  file(MAKE_DIRECTORY "${dir}")
  file(COPY_FILE "${SETUP_EXE}" "${dir}/setup.exe")
  # The package holds the product under the name "DidIve"; it is installed as DidIve.exe.
  file(COPY_FILE "${PRODUCT_EXE}" "${dir}/DidIve")
  file(COPY_FILE "${SAMPLES_DIR}/${descriptor}" "${dir}/${descriptor}")
  file(COPY_FILE "${SAMPLES_DIR}/NvxSetup.dat" "${dir}/NvxSetup.dat")
  file(COPY_FILE "${UNICOWS_DLL}" "${dir}/unicows.dll")
  foreach(name IN LISTS STAND_IN_FILES)
    file(WRITE "${dir}/${name}" "Stand-in for ${name} of the sample setup package.\n")
  endforeach()
endfunction()

assemble_package("${XML_PACKAGE_DIR}" VOD.xml)
assemble_package("${INI_PACKAGE_DIR}" DidIve.nvx)
