# Stream scanner, MPEG audio decoder and WAVE I/O.
target_sources(orv_codec PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/MpegTables.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/WaveFile.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/Mp3Stream.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/Synthesis.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/Layer3.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/Layer12.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/Mp3Decoder.cpp
)
# The decoder's inner loops (IMDCT, synthesis window) rely on vectorisation, which
# -O2 only does in its cheapest form; rounding calls inline without errno.
set_source_files_properties(
  ${CMAKE_CURRENT_LIST_DIR}/src/Synthesis.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/Layer3.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/Layer12.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/Mp3Decoder.cpp
  PROPERTIES COMPILE_OPTIONS "$<$<NOT:$<CONFIG:Debug>>:-O3>;-fno-math-errno")

if(NOT ORV_WIN32)
  add_executable(mp3info ${CMAKE_CURRENT_LIST_DIR}/tools/mp3info/mp3info.cpp)
  target_link_libraries(mp3info PRIVATE orv_codec)
  add_executable(mp3dec ${CMAKE_CURRENT_LIST_DIR}/tools/mp3dec/mp3dec.cpp)
  target_link_libraries(mp3dec PRIVATE orv_codec)

  orv_add_gtest(codec_decoder_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/tests/WaveFileTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/MpegTablesTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/OracleSupport.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/DecoderOracleTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/DecoderSeekTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/StreamScanTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/ToolsTest.cpp
    LIBS orv_codec
    LABELS codec)
  target_compile_definitions(codec_decoder_tests PRIVATE ORV_TOOLS_DIR="$<TARGET_FILE_DIR:mp3dec>")
  add_dependencies(codec_decoder_tests mp3dec mp3info)
endif()
