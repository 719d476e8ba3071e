# Stream scanner, MPEG audio decoder and WAVE I/O.
target_sources(orv_codec PRIVATE ${CMAKE_CURRENT_LIST_DIR}/src/CodecVersion.cpp)
