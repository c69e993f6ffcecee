# The harness code of the fuzz targets as a library, so that the fuzz targets
# and the regression tests (tests/fuzz_regressions) run the very same code;
# only the fuzz targets add libFuzzer. Included from both places.
if(NOT TARGET pellix_fuzz_harness)
  add_library(pellix_fuzz_harness STATIC
    ${CMAKE_CURRENT_LIST_DIR}/fuzz_frames.cpp
    ${CMAKE_CURRENT_LIST_DIR}/frame_path_harness.cpp
    ${CMAKE_CURRENT_LIST_DIR}/surface_harness.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plugin_once.cpp)
  target_link_libraries(pellix_fuzz_harness PUBLIC pellix_test_rig)
endif()
