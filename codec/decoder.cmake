# Stream scanner, MPEG audio decoder and WAVE I/O.
target_sources(orv_codec PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/MpegTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/WaveFile.cpp
)
if(NOT ORV_WIN32)
  orv_add_gtest(codec_decoder_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/tests/WaveFileTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/MpegTablesTest.cpp
    LIBS orv_codec
    LABELS codec)
endif()
