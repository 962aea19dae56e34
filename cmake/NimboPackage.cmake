# What a host developer gets: the CMake package that
# find_package(NimboView3D) reads, and the Debian package `cpack -G DEB`
# makes of the same install.
include(CMakePackageConfigHelpers)

install(EXPORT NimboView3DTargets NAMESPACE Nimbo:: DESTINATION ${NIMBO_CMAKE_INSTALL_DIR})
configure_package_config_file(cmake/NimboView3DConfig.cmake.in
  ${PROJECT_BINARY_DIR}/NimboView3DConfig.cmake
  INSTALL_DESTINATION ${NIMBO_CMAKE_INSTALL_DIR})
# Within a major version the libraries keep their soname, so 1.x serves a
# host that asked for 1.0.
write_basic_package_version_file(${PROJECT_BINARY_DIR}/NimboView3DConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES
  ${PROJECT_BINARY_DIR}/NimboView3DConfig.cmake
  ${PROJECT_BINARY_DIR}/NimboView3DConfigVersion.cmake
  DESTINATION ${NIMBO_CMAKE_INSTALL_DIR})

set(CPACK_PACKAGE_NAME nimbo-view3d)
set(CPACK_PACKAGE_VENDOR "Nimbo View 3D")
set(CPACK_PACKAGE_CONTACT "Nimbo View 3D developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "OpenGL scene-graph 3D view plug-in, its host libraries and the nimbo-view host")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# Dependencies come from what the binaries link, as dpkg-shlibdeps reads them.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)
