# Installation: libraries, headers, the plug-in directory, a CMake package and pkg-config files.
include(CMakePackageConfigHelpers)

install(TARGETS ostrel ostrel_main ostrel-sysutil EXPORT ostrelTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS ostrel_common EXPORT ostrelTargets)
install(DIRECTORY include/ DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
install(EXPORT ostrelTargets NAMESPACE ostrel:: DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ostrel)
configure_package_config_file(cmake/ostrelConfig.cmake.in
  ${CMAKE_BINARY_DIR}/ostrelConfig.cmake INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ostrel)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/ostrelConfigVersion.cmake COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/ostrelConfig.cmake ${CMAKE_BINARY_DIR}/ostrelConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/ostrel)
configure_file(cmake/ostrel.pc.in ${CMAKE_BINARY_DIR}/ostrel.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/ostrel.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
install(DIRECTORY DESTINATION ${OSTREL_PLUGIN_DIR})
