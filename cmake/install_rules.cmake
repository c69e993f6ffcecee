# What `cmake --install` (and the Debian package) puts in place: the plug-in,
# pellix-convert, the SDK for host authors (headers, identifier constants, a
# CMake package and a pkg-config file), the documents and the minimal host.
# Nothing else: no tests, test doubles, fuzz targets, benchmarks or the
# reference host, which is test machinery. Folders: install_layout.cmake.
include(CMakePackageConfigHelpers)

# The build tree keeps the plug-in and the tool where an installation does,
# so that pellix-convert finds its plug-in by the same relative path in both.
# (A Windows DLL is a runtime file, a shared object a library file.)
set_target_properties(pellix_color_transform PROPERTIES
  LIBRARY_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/${PELLIX_INSTALL_PLUGINDIR}
  RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/${PELLIX_INSTALL_PLUGINDIR})
install(TARGETS pellix_color_transform
  LIBRARY DESTINATION ${PELLIX_INSTALL_PLUGINDIR}
  RUNTIME DESTINATION ${PELLIX_INSTALL_PLUGINDIR})

if(TARGET pellix-convert)
  set_target_properties(pellix-convert PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/${CMAKE_INSTALL_BINDIR})
  install(TARGETS pellix-convert RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The SDK: every header of sdk/ and the library of identifier constants.
file(GLOB PELLIX_SDK_HEADERS CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/sdk/*.h)
install(FILES ${PELLIX_SDK_HEADERS} DESTINATION ${PELLIX_INSTALL_SDK_INCLUDEDIR})
install(TARGETS tessel_sdk EXPORT TesselSDKTargets ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR})

# find_package(TesselSDK): target Tessel::SDK and the plug-in's path. The
# files locate the installation from their own place, so a staged (DESTDIR)
# or moved tree works too.
install(EXPORT TesselSDKTargets NAMESPACE Tessel:: DESTINATION ${PELLIX_INSTALL_CMAKEDIR})
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TesselSDKConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TesselSDKConfig.cmake
  INSTALL_DESTINATION ${PELLIX_INSTALL_CMAKEDIR}
  PATH_VARS PELLIX_INSTALL_PLUGIN)
# The interfaces may still change between minor versions before 1.0.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TesselSDKConfigVersion.cmake
  VERSION ${PROJECT_VERSION} COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TesselSDKConfig.cmake ${PROJECT_BINARY_DIR}/TesselSDKConfigVersion.cmake
  DESTINATION ${PELLIX_INSTALL_CMAKEDIR})

# pkg-config --cflags --libs tessel-sdk. It names the prefix given at
# configure time; stage with DESTDIR (and PKG_CONFIG_SYSROOT_DIR to use it).
configure_file(${CMAKE_CURRENT_LIST_DIR}/tessel-sdk.pc.in ${PROJECT_BINARY_DIR}/tessel-sdk.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tessel-sdk.pc DESTINATION ${PELLIX_INSTALL_PKGCONFIGDIR})

install(FILES ${PROJECT_SOURCE_DIR}/docs/hosting.md ${PROJECT_SOURCE_DIR}/docs/pellix-convert.md ${PROJECT_SOURCE_DIR}/LICENSE
  DESTINATION ${PELLIX_INSTALL_DOCDIR})
install(FILES ${PROJECT_SOURCE_DIR}/examples/minimal_host.cpp ${PROJECT_SOURCE_DIR}/examples/CMakeLists.txt
  DESTINATION ${PELLIX_INSTALL_DOCDIR}/examples)
