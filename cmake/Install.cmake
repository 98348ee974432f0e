# What `cmake --install` puts where, and the Debian package of the tool.
#   tool component: bin/shortcut_dump and its man page
#   dev component:  the reader's headers, static library, CMake package and pkg-config file
include(CMakePackageConfigHelpers)

install(TARGETS shortcut_dump RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
install(FILES doc/shortcut_dump.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)

set(shortcut_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/shortcut_reader)
install(TARGETS shortcut_reader EXPORT shortcut_readerTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/shortcut_reader COMPONENT dev)
install(EXPORT shortcut_readerTargets
    NAMESPACE shortcut_reader::
    DESTINATION ${shortcut_cmake_dir}
    COMPONENT dev)
configure_package_config_file(cmake/shortcut_readerConfig.cmake.in
    ${CMAKE_CURRENT_BINARY_DIR}/shortcut_readerConfig.cmake
    INSTALL_DESTINATION ${shortcut_cmake_dir})
write_basic_package_version_file(${CMAKE_CURRENT_BINARY_DIR}/shortcut_readerConfigVersion.cmake
    COMPATIBILITY SameMajorVersion)
install(FILES
    ${CMAKE_CURRENT_BINARY_DIR}/shortcut_readerConfig.cmake
    ${CMAKE_CURRENT_BINARY_DIR}/shortcut_readerConfigVersion.cmake
    DESTINATION ${shortcut_cmake_dir}
    COMPONENT dev)
configure_file(cmake/shortcut_reader.pc.in ${CMAKE_CURRENT_BINARY_DIR}/shortcut_reader.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/shortcut_reader.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig
    COMPONENT dev)

# cpack -G DEB (from the build folder): one package with the tool and its man page.
set(CPACK_PACKAGE_NAME shortcut-dump)
set(CPACK_PACKAGE_VENDOR "shortcut_dump maintainers")
set(CPACK_PACKAGE_CONTACT "shortcut_dump maintainers <maintainers@users.noreply.c-seed-2d68270e.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "print where a Windows shell link (.lnk) file points")
set(CPACK_PACKAGE_DESCRIPTION "shortcut_dump reads one Windows shell link file and prints its target path, \
working directory, description and relative path in a fixed eight-line format. It is made for \
forensic analysis and migration scripts, and reads damaged and hostile files safely.")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_COMPONENTS_ALL tool)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
