# The mpdeck program: the player code as a library (tests link it too) and the
# executable with the application object and the resources.
add_library(orv_mp3player STATIC
  player/MP3App.cpp
  player/MP3PlayerDlg.cpp)
target_include_directories(orv_mp3player PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/player)
target_link_libraries(orv_mp3player PUBLIC orv_shared)

add_executable(mpdeck WIN32 mpdeck.cpp mpdeck.rc)
target_link_libraries(mpdeck PRIVATE orv_mp3player)
target_include_directories(mpdeck PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
orv_use_program_resources(mpdeck mpdeck.rc)
target_link_libraries(orv_mp3player PUBLIC orv_playlist orv_wavedevice orv_mp3play_wrapper)

# The player window's start under Wine: default or command-line playlist, measured.
orv_add_gtest(mp3startup_test
  SOURCES playlist/tests/StartupPlaylistTest.cpp mpdeck.rc
  LIBS orv_mp3player orv_testsupport
  LABELS plist)
target_include_directories(mp3startup_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
orv_use_program_resources(mp3startup_test mpdeck.rc)
add_dependencies(mp3startup_test orvmp3play orv_mp3play_fixtures)
target_compile_definitions(mp3startup_test PRIVATE
  ORV_CONTROL_DIR="Z:${CMAKE_BINARY_DIR}/bin"
  ORV_MP3_FIXTURES="Z:${CMAKE_BINARY_DIR}/fixtures/mp3play")
