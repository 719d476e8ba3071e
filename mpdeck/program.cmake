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
