# Boost.Thread's recursive mutex on Windows is header-only: it is built from
# the kernel's events and thread identifiers and needs no compiled Boost
# library. The cross build takes the headers of the build machine's Boost
# (they are the same for every target) through a folder holding only them,
# so that none of the build machine's C headers reach the cross compiler.
find_path(PELLIX_BOOST_HEADERS boost/thread/recursive_mutex.hpp
  PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH NO_DEFAULT_PATH)
if(NOT PELLIX_BOOST_HEADERS)
  message(FATAL_ERROR "Boost headers not found (Debian: apt-get install libboost-thread-dev)")
endif()
set(PELLIX_BOOST_ONLY ${PROJECT_BINARY_DIR}/boost-headers)
file(MAKE_DIRECTORY ${PELLIX_BOOST_ONLY})
file(CREATE_LINK ${PELLIX_BOOST_HEADERS}/boost ${PELLIX_BOOST_ONLY}/boost SYMBOLIC)
add_library(pellix_boost_thread_headers INTERFACE)
target_include_directories(pellix_boost_thread_headers SYSTEM INTERFACE ${PELLIX_BOOST_ONLY})
# Header-only use: no automatic linking, no Boost.Thread DLL or library.
target_compile_definitions(pellix_boost_thread_headers INTERFACE
  BOOST_ALL_NO_LIB BOOST_THREAD_NO_LIB BOOST_SYSTEM_NO_LIB BOOST_USE_WINDOWS_H)
add_library(Boost::thread ALIAS pellix_boost_thread_headers)
