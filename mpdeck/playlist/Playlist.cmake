# The playlist: song entries, the model with its INI file, and the Open, Save and
# Select Song dialogs (templates in resources/mpdeck).
set(ORV_PLAYLIST_DIR ${CMAKE_CURRENT_SOURCE_DIR}/playlist)
set(ORV_PLAYLIST_RESOURCES ${CMAKE_SOURCE_DIR}/resources/mpdeck)

add_library(orv_playlist STATIC
  ${ORV_PLAYLIST_DIR}/SongEntry.cpp
  ${ORV_PLAYLIST_DIR}/PlaylistFile.cpp
  ${ORV_PLAYLIST_DIR}/PlaylistModel.cpp
  ${ORV_PLAYLIST_DIR}/SavePlaylistDlg.cpp
  ${ORV_PLAYLIST_DIR}/OpenPlaylistDlg.cpp
  ${ORV_PLAYLIST_DIR}/SelectSongDlg.cpp)
target_include_directories(orv_playlist PUBLIC ${ORV_PLAYLIST_DIR} ${ORV_PLAYLIST_RESOURCES})
target_link_libraries(orv_playlist PUBLIC orv_shared orv_telmar_ids)

# Under Wine: the real playlist INI file in the prefix's Windows directory, texts
# from TELMAR.DLL, message boxes and dialogs answered by the test.
orv_add_gtest(playlist_test
  SOURCES
    ${ORV_PLAYLIST_DIR}/tests/PlaylistTestApp.cpp
    ${ORV_PLAYLIST_DIR}/tests/PlaylistModelTest.cpp
    ${ORV_PLAYLIST_DIR}/tests/PlaylistDialogsTest.cpp
    ${ORV_PLAYLIST_DIR}/tests/playlist_test.rc
  LIBS orv_playlist orv_testapp comctl32
  LABELS plist)
set_source_files_properties(${ORV_PLAYLIST_DIR}/tests/playlist_test.rc PROPERTIES OBJECT_DEPENDS
  "${ORV_PLAYLIST_RESOURCES}/SavePlaylist.rc;${ORV_PLAYLIST_RESOURCES}/OpenPlaylist.rc;${ORV_PLAYLIST_RESOURCES}/SelectSong.rc;${ORV_PLAYLIST_RESOURCES}/PlaylistDialogIds.h")
target_include_directories(playlist_test PRIVATE ${ORV_PLAYLIST_RESOURCES})
add_dependencies(playlist_test telmar)
add_custom_command(TARGET playlist_test POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:telmar> $<TARGET_FILE_DIR:playlist_test>/TELMAR.DLL)
