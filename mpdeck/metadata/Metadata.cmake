# ID3v1 tags, the genre table and the More Info dialog. The genre table is a
# library of its own: cddeck offers the same genres.
add_library(orv_genres STATIC metadata/Genres.cpp)
target_include_directories(orv_genres PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/metadata)

add_library(orv_metadata STATIC metadata/ID3Tag.cpp metadata/SongInfoDlg.cpp)
target_include_directories(orv_metadata PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/metadata)
target_link_libraries(orv_metadata PUBLIC orv_genres orv_shared orv_resources)

orv_add_gtest(metadata_test
  SOURCES metadata/tests/MetaTestSupport.cpp metadata/tests/ID3TagTest.cpp
          metadata/tests/SongInfoDlgTest.cpp metadata/tests/metadata_test.rc
  LIBS orv_metadata orv_testapp
  LABELS meta)
orv_use_program_resources(metadata_test metadata/tests/metadata_test.rc)
set_property(SOURCE metadata/tests/metadata_test.rc APPEND PROPERTY OBJECT_DEPENDS
  ${CMAKE_SOURCE_DIR}/resources/mpdeck/MoreInfo.rc ${CMAKE_SOURCE_DIR}/resources/mpdeck/MoreInfoIds.h)
# Message texts come from TELMAR.DLL, found by its bare name next to the program.
add_dependencies(metadata_test telmar)
add_custom_command(TARGET metadata_test POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:telmar> $<TARGET_FILE_DIR:metadata_test>/TELMAR.DLL)
