# Packs the release zip: cmake -DSETUP= -DREADME= -DLICENSE= -DVERSION= -DSTAGE= -DZIP= -P Package.cmake
# The texts get DOS line ends (Notepad on older Windows shows nothing else) and the
# version in place of @VERSION@.
cmake_minimum_required(VERSION 3.20)
foreach(var SETUP README LICENSE VERSION STAGE ZIP)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "Package.cmake: ${var} is not given")
  endif()
endforeach()

file(REMOVE_RECURSE "${STAGE}")
file(MAKE_DIRECTORY "${STAGE}")
file(COPY_FILE "${SETUP}" "${STAGE}/OrvantaSetup.exe")

function(dos_text source target)
  file(READ "${source}" text)
  string(REPLACE "@VERSION@" "${VERSION}" text "${text}")
  string(REPLACE "\r\n" "\n" text "${text}")
  string(REPLACE "\n" "\r\n" text "${text}")
  file(WRITE "${target}" "${text}")
endfunction()
dos_text("${README}" "${STAGE}/README.txt")
dos_text("${LICENSE}" "${STAGE}/LICENSE.txt")

get_filename_component(zip_dir "${ZIP}" DIRECTORY)
file(MAKE_DIRECTORY "${zip_dir}")
file(REMOVE "${ZIP}")
execute_process(
  COMMAND "${CMAKE_COMMAND}" -E tar cf "${ZIP}" --format=zip OrvantaSetup.exe README.txt LICENSE.txt
  WORKING_DIRECTORY "${STAGE}"
  RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Package.cmake: packing ${ZIP} failed")
endif()
