# Cross build for 32-bit Windows (PE32): the suite itself.
set(ORV_MINGW_PROCESSOR i686)
include("${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake")
