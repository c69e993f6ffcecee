# The Debian package: `cpack -G DEB` in a build tree (scripts/build-deb.sh
# configures one for the prefix /usr and runs it). It holds exactly what the
# install rules install; dpkg-shlibdeps computes the dependencies from the
# plug-in's and the tool's libraries (Boost.Thread, libpng, the C++ runtime).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME pellix)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "video colour-space transform plug-in, pellix-convert and the Tessel SDK")
set(CPACK_PACKAGE_DESCRIPTION
    "A plug-in for Tessel host media engines that converts video frames between\n\
I420 (IYUV), YV12, YUY2, UYVY and BGRA, with MMX, SSE and SSE2 routines. The\n\
package also holds pellix-convert, a command-line converter built on the\n\
plug-in, and the SDK for host authors: headers, identifier constants, CMake\n\
and pkg-config files, a hosting guide and a minimal host.")
set(CPACK_PACKAGE_CONTACT "Pellix developers")
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE ${PROJECT_HOMEPAGE_URL})
# The files lie where the configure step put them, so the .pc file and the
# tool's path to the plug-in hold inside the package too.
set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(STATUS "A Debian package made in this tree installs below ${CMAKE_INSTALL_PREFIX}; "
                 "configure with -DCMAKE_INSTALL_PREFIX=/usr for the usual one")
endif()
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
