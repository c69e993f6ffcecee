# Included by the top level, before any target exists, when PELLIX_BUILD_FUZZ
# is on: every object of the build, the plug-in included, gets libFuzzer's
# coverage instrumentation plus AddressSanitizer and UndefinedBehaviorSanitizer.
# The fuzz targets alone link libFuzzer itself (fuzz/CMakeLists.txt).
if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  message(WARNING "PELLIX_BUILD_FUZZ needs clang and libFuzzer (clang-14, libclang-rt-14-dev): "
                  "configure with CC=clang-14 CXX=clang++-14. The fuzz targets are left out.")
  set(PELLIX_BUILD_FUZZ OFF)
  return()
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer -g)
add_link_options(-fsanitize=address,undefined)
