# CWaveDevice: WAVE playback and measuring through MCI "waveaudio".
add_library(orv_wavedevice STATIC player/WaveDevice.cpp)
target_include_directories(orv_wavedevice PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/player)
target_link_libraries(orv_wavedevice PUBLIC orv_framework winmm)

orv_add_gtest(wavedevice_test
  SOURCES player/tests/WaveDeviceTest.cpp
  LIBS orv_wavedevice orv_testsupport
  LABELS wavedevice)
