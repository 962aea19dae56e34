# Where `cmake --install` puts things under the prefix (the GNU layout), and
# the relative run paths that let the installed programs, libraries and
# plug-in find each other from whatever prefix they land in.
include(GNUInstallDirs)

# Hosts load the plug-in from a folder of its own under the library folder.
set(NIMBO_PLUGIN_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/nimbo-view3d)
# A folder of our own: the platform layer's <windows.h> must not become the
# system's.
set(NIMBO_INCLUDE_INSTALL_DIR ${CMAKE_INSTALL_INCLUDEDIR}/NimboView3D)
set(NIMBO_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/NimboView3D)

# The path from one install folder to another, each relative to the prefix
# or absolute.
function(nimbo_relative_path variable from to)
  cmake_path(ABSOLUTE_PATH from BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX} NORMALIZE)
  cmake_path(ABSOLUTE_PATH to BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX} NORMALIZE)
  cmake_path(RELATIVE_PATH to BASE_DIRECTORY ${from} OUTPUT_VARIABLE relative)
  set(${variable} ${relative} PARENT_SCOPE)
endfunction()

nimbo_relative_path(NIMBO_BIN_TO_LIB ${CMAKE_INSTALL_BINDIR} ${CMAKE_INSTALL_LIBDIR})
nimbo_relative_path(NIMBO_PLUGIN_TO_LIB ${NIMBO_PLUGIN_INSTALL_DIR} ${CMAKE_INSTALL_LIBDIR})
# nimbo-view looks for the plug-in here, relative to its own folder. The build
# tree puts the plug-in at the same place relative to bin/, so that one
# lookup serves both trees.
nimbo_relative_path(NIMBO_BIN_TO_PLUGIN_DIR ${CMAKE_INSTALL_BINDIR} ${NIMBO_PLUGIN_INSTALL_DIR})
cmake_path(ABSOLUTE_PATH NIMBO_BIN_TO_PLUGIN_DIR BASE_DIRECTORY ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}
           NORMALIZE OUTPUT_VARIABLE NIMBO_PLUGIN_OUTPUT_DIR)

# One of our shared libraries: its soname carries the project's major
# version, and it finds the others of ours next to itself once installed.
function(nimbo_versioned_library target)
  set_target_properties(${target} PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR}
    INSTALL_RPATH "$ORIGIN")
endfunction()
