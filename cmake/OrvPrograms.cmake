# One helper for a program of the suite:
#   orv_add_program(<name> SOURCES <files... with its .rc> LIBS <libs...>)
# A Windows GUI executable in bin/, with the resources every program carries
# (resources/: icon, cursors, menu 1800, About box) included by its .rc file.
function(orv_add_program name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} WIN32 ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  foreach(source ${ARG_SOURCES})
    if(source MATCHES "\\.rc$")
      orv_use_program_resources(${name} ${source})
    endif()
  endforeach()
endfunction()
