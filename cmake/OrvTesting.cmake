# GoogleTest for both trees and one helper to declare a test executable.
#   orv_add_gtest(<name> SOURCES <files...> [LIBS <libs...>] [LABELS <labels...>]
#                 [PROPERTIES <test properties...>])
# PROPERTIES go to every discovered test, e.g. RESOURCE_LOCK for tests that share
# the prefix's registry or installed files.
# Windows test executables run under Wine through the cross-compiling emulator;
# discovery happens at test time, inside the environment scripts/test starts.
include(GoogleTest)

if(ORV_WIN32)
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL)
  # The packaged sources are not ours to keep warning-free.
  foreach(t gtest gtest_main gmock gmock_main)
    if(TARGET ${t})
      target_compile_options(${t} PRIVATE -w)
    endif()
  endforeach()
  set(ORV_GTEST_LIBS gtest_main gtest)
else()
  find_package(GTest REQUIRED)
  set(ORV_GTEST_LIBS GTest::gtest_main GTest::gtest)
endif()

# Tells a target where screenshots and logs go, as a path it can open.
function(orv_define_artifacts target)
  if(ORV_WIN32)
    # Wine maps the Linux root to drive Z:.
    target_compile_definitions(${target} PRIVATE ORV_ARTIFACTS="Z:${ORV_ARTIFACTS}")
  else()
    target_compile_definitions(${target} PRIVATE ORV_ARTIFACTS="${ORV_ARTIFACTS}")
  endif()
endfunction()

function(orv_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS;LABELS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${ORV_GTEST_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${ORV_TEST_OUTPUT_DIRECTORY}")
  orv_define_artifacts(${name})
  # One label per test: the discovery script keeps only the first element of a
  # list. ctest -L takes a regular expression, so "win32-smoke" answers to both
  # -L win32 and -L smoke.
  if(ORV_WIN32)
    set(label win32)
  else()
    set(label native)
  endif()
  foreach(extra ${ARG_LABELS})
    string(APPEND label "-${extra}")
  endforeach()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS "${label}" TIMEOUT 300 ${ARG_PROPERTIES})
endfunction()
