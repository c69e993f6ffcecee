# Where an installation puts things: the GNU folders below the prefix, and a
# folder of its own for the plug-in. Hosts load the plug-in by path, so it is
# kept off the linker's search path (lib/<triplet>/pellix/ on Debian with
# prefix /usr). Included before the subfolders, which use these names.
include(GNUInstallDirs)

# (pellix_color_transform.dll on Windows, which names libraries without "lib".)
if(WIN32)
  set(PELLIX_PLUGIN_FILE_NAME "pellix_color_transform${CMAKE_SHARED_LIBRARY_SUFFIX}")
else()
  set(PELLIX_PLUGIN_FILE_NAME
      "${CMAKE_SHARED_LIBRARY_PREFIX}pellix_color_transform${CMAKE_SHARED_LIBRARY_SUFFIX}")
endif()
set(PELLIX_INSTALL_PLUGINDIR "${CMAKE_INSTALL_LIBDIR}/pellix")
set(PELLIX_INSTALL_PLUGIN "${PELLIX_INSTALL_PLUGINDIR}/${PELLIX_PLUGIN_FILE_NAME}")
set(PELLIX_INSTALL_SDK_INCLUDEDIR "${CMAKE_INSTALL_INCLUDEDIR}/tessel")
set(PELLIX_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/TesselSDK")
set(PELLIX_INSTALL_PKGCONFIGDIR "${CMAKE_INSTALL_LIBDIR}/pkgconfig")
# Debian keeps a package's documents under its package name.
set(PELLIX_INSTALL_DOCDIR "${CMAKE_INSTALL_DATAROOTDIR}/doc/pellix")

# The plug-in as pellix-convert finds it: relative to the tool's own folder,
# so that the installed tool needs no absolute path and the build tree (which
# mirrors this layout, see install_rules.cmake) works the same way.
cmake_path(ABSOLUTE_PATH PELLIX_INSTALL_PLUGINDIR BASE_DIRECTORY "${CMAKE_INSTALL_PREFIX}"
           OUTPUT_VARIABLE PELLIX_INSTALL_FULL_PLUGINDIR)
set(PELLIX_INSTALL_FULL_PLUGIN "${PELLIX_INSTALL_FULL_PLUGINDIR}/${PELLIX_PLUGIN_FILE_NAME}")
file(RELATIVE_PATH PELLIX_PLUGIN_FROM_BINDIR "${CMAKE_INSTALL_FULL_BINDIR}" "${PELLIX_INSTALL_FULL_PLUGIN}")
