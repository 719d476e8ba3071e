# Cross build for 64-bit Windows (PE32+), for hosts that run no 32-bit code (see
# scripts/windows-tree).
set(ORV_MINGW_PROCESSOR x86_64)
include("${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw.cmake")
