# MPEG audio Layer III encoder: library sources, then native tests, tool and benchmark.
target_sources(orv_codec PRIVATE
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/BitWriter.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/Filterbank.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/FrameLayout.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/HuffmanCoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/Mp3Encoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/PsychoModel.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/Quantizer.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/Resampler.cpp)

if(NOT ORV_WIN32)
  add_executable(mp3enc ${CMAKE_CURRENT_LIST_DIR}/tools/mp3enc/main.cpp)
  target_link_libraries(mp3enc PRIVATE orv_codec)
endif()

if(NOT ORV_WIN32)
  orv_add_gtest(codec_encoder_tests
    SOURCES
      ${CMAKE_CURRENT_LIST_DIR}/tests/enc/EncoderTestSupport.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/enc/Mp3EncoderTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/enc/ResamplerTest.cpp
      ${CMAKE_CURRENT_LIST_DIR}/tests/enc/FilterbankTest.cpp
    LIBS orv_codec
    LABELS codec encoder)
  target_compile_definitions(codec_encoder_tests PRIVATE ORV_MP3ENC="$<TARGET_FILE:mp3enc>")
  add_dependencies(codec_encoder_tests mp3enc)
endif()

if(NOT ORV_WIN32)
  add_executable(encbench ${CMAKE_CURRENT_LIST_DIR}/bench/enc/EncoderBench.cpp)
  target_link_libraries(encbench PRIVATE orv_codec)
endif()

# The encoder's inner loops are worth the extra optimisation in every build.
set_source_files_properties(
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/Filterbank.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/HuffmanCoder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/enc/Quantizer.cpp
  PROPERTIES COMPILE_OPTIONS "-O3")
