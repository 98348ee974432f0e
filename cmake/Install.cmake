# SPDX-License-Identifier: MIT
# What `cmake --install` puts where:
#   tool component:    bin/shortcut_dump and bin/shortcut_inspect, their man pages, the
#                      record's schema, and the copyright and changelog
#   runtime component: the shared reader libshortcut_reader.so.5 (BUILD_SHARED_LIBS)
#   dev component:     the reader's headers, library, CMake package and pkg-config file
include(CMakePackageConfigHelpers)

set(CPACK_PACKAGE_CONTACT "shortcut_dump maintainers <maintainers@users.noreply.c-seed-2d68270e.example>")
set(SHORTCUT_DEB_REVISION 1)
set(SHORTCUT_DEB_VERSION ${PROJECT_VERSION}-${SHORTCUT_DEB_REVISION})

# The date of this version, for the man page and the changelog: fixed, so that every
# build of one version gives the same files.
set(SHORTCUT_RELEASE_EPOCH 1796904000)  # 2026-12-10 12:00 UTC
set(shortcut_saved_epoch "$ENV{SOURCE_DATE_EPOCH}")
set(ENV{SOURCE_DATE_EPOCH} ${SHORTCUT_RELEASE_EPOCH})
string(TIMESTAMP SHORTCUT_RELEASE_MONTH "%B %Y" UTC)
string(TIMESTAMP SHORTCUT_RELEASE_RFC2822 "%a, %d %b %Y %H:%M:%S +0000" UTC)
set(ENV{SOURCE_DATE_EPOCH} "${shortcut_saved_epoch}")

# The man page, and the machine-readable copyright file made from LICENSE: its text
# after the copyright line, each line indented and each empty line a lone dot.
set(shortcut_doc ${CMAKE_CURRENT_BINARY_DIR}/doc)
configure_file(doc/shortcut_dump.1.in ${shortcut_doc}/shortcut_dump.1 @ONLY)
configure_file(doc/shortcut_inspect.1.in ${shortcut_doc}/shortcut_inspect.1 @ONLY)
file(READ LICENSE shortcut_license)
string(REGEX REPLACE "^.*Copyright \\(c\\)[^\n]*\n\n" "" shortcut_license "${shortcut_license}")
string(STRIP "${shortcut_license}" shortcut_license)
string(REPLACE "\n\n" "\n.\n" shortcut_license "${shortcut_license}")
string(REPLACE "\n" "\n " SHORTCUT_LICENSE_PARAGRAPHS " ${shortcut_license}")
configure_file(packaging/copyright.in ${shortcut_doc}/copyright @ONLY)
configure_file(packaging/changelog.Debian.in ${shortcut_doc}/changelog.Debian @ONLY)
set(shortcut_compressed_docs shortcut_dump.1.gz shortcut_inspect.1.gz changelog.Debian.gz)
list(TRANSFORM shortcut_compressed_docs PREPEND ${shortcut_doc}/)
add_custom_command(
    OUTPUT ${shortcut_compressed_docs}
    COMMAND gzip -9 -n -f -k shortcut_dump.1 shortcut_inspect.1 changelog.Debian
    DEPENDS ${shortcut_doc}/shortcut_dump.1 ${shortcut_doc}/shortcut_inspect.1 ${shortcut_doc}/changelog.Debian
    WORKING_DIRECTORY ${shortcut_doc}
    COMMENT "Compressing the man pages and the changelog")
add_custom_target(shortcut_docs ALL DEPENDS ${shortcut_compressed_docs})

# Each package's copyright and changelog, where Debian looks for them, and its lintian
# overrides: the one every package needs, then any of its own in packaging/.
function(shortcut_install_package_docs component package)
    install(FILES ${shortcut_doc}/copyright ${shortcut_doc}/changelog.Debian.gz
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package} COMPONENT ${component})
    set(overrides "# Built and shipped by the project itself, not uploaded to Debian: there is no\n")
    string(APPEND overrides "# ITP bug for the first changelog entry to close.\n${package}: initial-upload-closes-no-bugs\n")
    foreach(extra IN LISTS ARGN)
        file(READ ${extra} more)
        string(APPEND overrides "${more}")
    endforeach()
    file(WRITE ${shortcut_doc}/overrides/${package} "${overrides}")
    install(FILES ${shortcut_doc}/overrides/${package}
        DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides COMPONENT ${component})
endfunction()

install(TARGETS shortcut_dump shortcut_inspect RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT tool)
install(FILES ${shortcut_doc}/shortcut_dump.1.gz ${shortcut_doc}/shortcut_inspect.1.gz
    DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT tool)
install(FILES doc/shortcut_inspect.schema.json DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/shortcut-dump COMPONENT tool)
if(SHORTCUT_STATIC)
    shortcut_install_package_docs(tool shortcut-dump ${PROJECT_SOURCE_DIR}/packaging/static-shortcut-dump.lintian-overrides)
else()
    shortcut_install_package_docs(tool shortcut-dump)
endif()

set(shortcut_cmake_dir ${CMAKE_INSTALL_LIBDIR}/cmake/shortcut_reader)
install(TARGETS shortcut_reader EXPORT shortcut_readerTargets
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT dev
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev
        PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
    PUBLIC_HEADER DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/shortcut_reader COMPONENT dev)
shortcut_install_package_docs(dev libshortcut-reader-dev)
if(BUILD_SHARED_LIBS)
    shortcut_install_package_docs(runtime libshortcut-reader${PROJECT_VERSION_MAJOR}
        ${PROJECT_SOURCE_DIR}/packaging/libshortcut-reader${PROJECT_VERSION_MAJOR}.lintian-overrides)
endif()
if(SHORTCUT_PYTHON)
    shortcut_install_package_docs(python python3-shortcut-reader)
endif()
# A static and a shared build install side by side into one prefix, each with a targets
# file of its own; the package config picks one of them (cmake/shortcut_readerConfig.cmake.in).
if(BUILD_SHARED_LIBS)
    set(shortcut_library_type shared)
else()
    set(shortcut_library_type static)
endif()
install(EXPORT shortcut_readerTargets
    NAMESPACE shortcut_reader::
    FILE shortcut_reader-${shortcut_library_type}-targets.cmake
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

# pkg-config: the prefix is found from where the file lies, so an installed tree can
# move (and be staged with DESTDIR), in a plain lib/ or a multiarch lib/<triplet>/.
set(shortcut_pc_dir ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}" OR IS_ABSOLUTE "${CMAKE_INSTALL_INCLUDEDIR}")
    set(SHORTCUT_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
    set(SHORTCUT_PC_LIBDIR "${CMAKE_INSTALL_FULL_LIBDIR}")
    set(SHORTCUT_PC_INCLUDEDIR "${CMAKE_INSTALL_FULL_INCLUDEDIR}")
else()
    file(RELATIVE_PATH shortcut_pc_up /prefix/${shortcut_pc_dir} /prefix)
    string(REGEX REPLACE "/$" "" shortcut_pc_up "${shortcut_pc_up}")
    set(SHORTCUT_PC_PREFIX "\${pcfiledir}/${shortcut_pc_up}")
    set(SHORTCUT_PC_LIBDIR "\${prefix}/${CMAKE_INSTALL_LIBDIR}")
    set(SHORTCUT_PC_INCLUDEDIR "\${prefix}/${CMAKE_INSTALL_INCLUDEDIR}")
endif()
# A static reader built with libcrypto needs it linked in too, also where its users ask
# pkg-config without --static; a shared one links it itself.
if(SHORTCUT_HASHES AND BUILD_SHARED_LIBS)
    set(SHORTCUT_PC_REQUIRES_PRIVATE "Requires.private: libcrypto")
elseif(SHORTCUT_HASHES)
    set(SHORTCUT_PC_REQUIRES_PRIVATE "Requires: libcrypto")
else()
    set(SHORTCUT_PC_REQUIRES_PRIVATE "")
endif()
configure_file(cmake/shortcut_reader.pc.in ${CMAKE_CURRENT_BINARY_DIR}/shortcut_reader.pc @ONLY)
install(FILES ${CMAKE_CURRENT_BINARY_DIR}/shortcut_reader.pc DESTINATION ${shortcut_pc_dir} COMPONENT dev)
