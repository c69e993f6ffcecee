# GoogleTest for a cross build: Debian's libgtest-dev ships its sources in
# /usr/src/googletest, compiled here with the cross compiler. The targets get
# the names find_package(GTest) gives (GoogleTest's own CMake files define them).
find_path(PELLIX_GOOGLETEST_SOURCE CMakeLists.txt
  PATHS /usr/src/googletest NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT PELLIX_GOOGLETEST_SOURCE)
  message(FATAL_ERROR "GoogleTest sources not found (Debian: apt-get install libgtest-dev)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
# Its own code, not ours: built without the project's warnings-as-errors.
get_directory_property(pellix_options COMPILE_OPTIONS)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "")
add_subdirectory(${PELLIX_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
set_directory_properties(PROPERTIES COMPILE_OPTIONS "${pellix_options}")
