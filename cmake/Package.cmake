# SPDX-License-Identifier: MIT
# cpack -G DEB, from the build folder: one Debian package per component.
#   shortcut-dump           the commands and their man pages
#   libshortcut-reader5     the shared reader (BUILD_SHARED_LIBS only)
#   libshortcut-reader-dev  headers, library, CMake package and pkg-config file
#   python3-shortcut-reader the Python package (SHORTCUT_PYTHON only)
set(shortcut_runtime_package libshortcut-reader${PROJECT_VERSION_MAJOR})

set(CPACK_PACKAGE_NAME shortcut-dump)
set(CPACK_PACKAGE_VENDOR "the shortcut_dump authors")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL tool dev)
if(BUILD_SHARED_LIBS)
    list(APPEND CPACK_COMPONENTS_ALL runtime)
endif()
if(SHORTCUT_PYTHON)
    list(APPEND CPACK_COMPONENTS_ALL python)
endif()

# The architecture of what this build made, not of the machine.
if(shortcut_deb_arch)
    set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE ${shortcut_deb_arch})
endif()
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE ${SHORTCUT_DEB_REVISION})
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# dpkg-shlibdeps also gives shortcut-dump its libarchive13, where shortcut_inspect reads
# archives.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Where dpkg-shlibdeps finds the shared reader that a dynamically linked tool needs.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${PROJECT_BINARY_DIR}/reader)

# The reader names the vendors of MAC addresses from the IEEE registry where ieee-data is
# installed, and leaves them out where it is not.
set(CPACK_DEBIAN_TOOL_PACKAGE_RECOMMENDS ieee-data)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_RECOMMENDS ieee-data)
set(CPACK_DEBIAN_PYTHON_PACKAGE_RECOMMENDS ieee-data)
# A static reader built with libcrypto needs its development files to be linked.
if(SHORTCUT_HASHES AND NOT BUILD_SHARED_LIBS)
    set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS libssl-dev)
endif()
set(CPACK_DEBIAN_TOOL_PACKAGE_NAME shortcut-dump)
set(CPACK_DEBIAN_TOOL_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_TOOL_DESCRIPTION "read Windows shell link (.lnk) files
shortcut_dump reads one Windows shell link file and prints its target path,
working directory, description and relative path in a fixed eight-line
format. shortcut_inspect reads any number of them and writes every field of
each, one JSON object a line, for jq, a SIEM or a timeline. Both are made for
forensic analysis and migration scripts, and read damaged and hostile files
safely.")

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME ${shortcut_runtime_package})
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
# A shlibs file for dpkg-shlibdeps, and the ldconfig trigger that Debian's libraries use.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "reader of Windows shell link (.lnk) files
The shortcut_reader library reads Windows shell link files, from a path or
from memory: ShortcutFile hands out the target path and strings, and the
complete reader every structure of the format as plain values or as JSON.
Damaged and hostile files are read safely, and a file that is not a link is
reported, never fatal.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libshortcut-reader-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DESCRIPTION "reader of Windows shell link (.lnk) files - development files
The shortcut_reader library reads Windows shell link files, from a path or
from memory: ShortcutFile hands out the target path and strings, and the
complete reader every structure of the format as plain values or as JSON.
This package holds its headers, its library, its CMake package and its
pkg-config file.")
# The Python package takes the reader in whole, so it works with the python3 it was built
# for, and needs no other package of ours.
set(CPACK_DEBIAN_PYTHON_PACKAGE_NAME python3-shortcut-reader)
set(CPACK_DEBIAN_PYTHON_PACKAGE_SECTION python)
if(SHORTCUT_PYTHON)
    set(CPACK_DEBIAN_PYTHON_PACKAGE_DEPENDS
        "python3 (>= ${SHORTCUT_PYTHON_VERSION}~), python3 (<< ${SHORTCUT_PYTHON_NEXT_VERSION})")
endif()
set(CPACK_COMPONENT_PYTHON_DESCRIPTION "reader of Windows shell link (.lnk) files - Python 3 module
The shortcut_reader module reads Windows shell link files, from a path or
from bytes, into Python values: every structure of the format and warnings
of what is damaged and of the tricks attackers play with links, as the
shortcut_inspect command writes them. Damaged and hostile files are read
safely and never raise; threads read in parallel.")
if(BUILD_SHARED_LIBS)
    set(CPACK_COMPONENT_DEV_DEPENDS runtime)
    set(CPACK_COMPONENT_TOOL_DEPENDS runtime)
    set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
endif()
include(CPack)
