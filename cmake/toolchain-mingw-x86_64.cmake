# 64-bit Windows build with Debian's mingw-w64 cross compiler (posix thread
# model). Test programs run under Wine (wine64).
set(PELLIX_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_common.cmake)
