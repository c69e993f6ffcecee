# 32-bit Windows build with Debian's mingw-w64 cross compiler (posix thread
# model). Test programs run under Wine.
set(PELLIX_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw_common.cmake)
# Plain i686 code: the plug-in runs on processors without SSE too and picks
# its MMX, SSE and SSE2 routines by CPUID.
set(CMAKE_C_FLAGS_INIT "-march=i686")
set(CMAKE_CXX_FLAGS_INIT "-march=i686")
