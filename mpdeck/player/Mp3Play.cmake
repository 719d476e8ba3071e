# The MP3 play/decode control wrapper (Windows tree only).
add_library(orv_mp3play_wrapper STATIC ${CMAKE_CURRENT_LIST_DIR}/Mp3Play.cpp)
target_include_directories(orv_mp3play_wrapper PUBLIC ${CMAKE_CURRENT_LIST_DIR})
target_link_libraries(orv_mp3play_wrapper PUBLIC orv_framework orv_mp3play_interface)
