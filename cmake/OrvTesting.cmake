# GoogleTest for both trees and one helper to declare a test executable.
#   orv_add_gtest(<name> SOURCES <files...> [LIBS <libs...>] [LABELS <labels...>]
#                 [TELMAR] [CONTROLS <control DLL targets...>] [NO_DISPLAY]
#                 [PROPERTIES <test properties...>])
# TELMAR puts TELMAR.DLL beside the test executable and CONTROLS the named control
# DLLs, so that both are found as they are beside an installed program.
# PROPERTIES go to every discovered test.
# Windows tests share one virtual display and one prefix: windows and message boxes
# are found by their texts, and settings, INI files and installed files are the
# prefix's, so two test processes would answer each other's boxes and change each
# other's settings. They hold the lock orvanta-prefix and run one at a time; native
# tests, and Windows tests declared NO_DISPLAY (no window, no shared setting), run
# beside them.
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
  # Our own main: see tests/support/GtestMain.cpp.
  add_library(orv_gtest_main STATIC "${CMAKE_CURRENT_LIST_DIR}/../tests/support/GtestMain.cpp")
  target_link_libraries(orv_gtest_main PUBLIC gtest)
  set(ORV_GTEST_LIBS orv_gtest_main gtest)
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

# Copies a DLL target beside <target>'s executable after every link.
function(orv_copy_beside target dll_target dll_name)
  add_dependencies(${target} ${dll_target})
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:${dll_target}> $<TARGET_FILE_DIR:${target}>/${dll_name})
endfunction()

function(orv_add_gtest name)
  cmake_parse_arguments(ARG "TELMAR;NO_DISPLAY" "" "SOURCES;LIBS;LABELS;CONTROLS;PROPERTIES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} ${ORV_GTEST_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${ORV_TEST_OUTPUT_DIRECTORY}")
  orv_define_artifacts(${name})
  if(ARG_TELMAR)
    orv_copy_beside(${name} telmar TELMAR.DLL)
  endif()
  foreach(control ${ARG_CONTROLS})
    orv_copy_beside(${name} ${control} $<TARGET_FILE_NAME:${control}>)
  endforeach()
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
  set(lock)
  if(ORV_WIN32 AND NOT ARG_NO_DISPLAY)
    set(lock RESOURCE_LOCK orvanta-prefix)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    PROPERTIES LABELS "${label}" TIMEOUT 300 ${lock} ${ARG_PROPERTIES})
endfunction()
