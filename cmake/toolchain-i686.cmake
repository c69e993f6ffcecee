# 32-bit x86 build with Debian's cross compiler and i386 multiarch libraries.
# Test binaries run natively when the caller says the kernel executes 32-bit
# programs (-DPELLIX_I386_NATIVE=ON), so they meet the real processor and
# its wide tiers; otherwise under qemu-i386.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)
set(CMAKE_FIND_ROOT_PATH /usr/i686-linux-gnu /usr/lib/i386-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
# pkg-config of the build machine, reading the i386 packages' files.
set(ENV{PKG_CONFIG_LIBDIR} "/usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig")
# Plain i686 code: the plug-in runs on processors without SSE too and picks
# its MMX, SSE and SSE2 routines by CPUID.
set(CMAKE_C_FLAGS_INIT "-march=i686")
set(CMAKE_CXX_FLAGS_INIT "-march=i686")
if(NOT PELLIX_I386_NATIVE)
  find_program(PELLIX_QEMU_I386 qemu-i386)
  if(PELLIX_QEMU_I386)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PELLIX_QEMU_I386})
  endif()
endif()
