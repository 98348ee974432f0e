# SPDX-License-Identifier: MIT
# Some 64-bit kernels are built without 32-bit support, so a -m32 program cannot run on
# them directly. When this build's programs do not run here, run them (tests included)
# under qemu-user's qemu-i386, if it is installed.
if(CMAKE_SIZEOF_VOID_P EQUAL 4 AND NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(probe_source "${CMAKE_BINARY_DIR}/CMakeFiles/run_probe.cpp")
    file(WRITE "${probe_source}" "int main() { return 0; }\n")
    try_run(probe_run_result probe_compiled "${CMAKE_BINARY_DIR}/CMakeFiles/run_probe" "${probe_source}")
    if(probe_compiled AND NOT probe_run_result EQUAL 0)
        find_program(SHORTCUT_QEMU_I386 qemu-i386)
        if(SHORTCUT_QEMU_I386)
            message(STATUS "32-bit programs do not run on this kernel: running them under ${SHORTCUT_QEMU_I386}")
            set(CMAKE_CROSSCOMPILING_EMULATOR "${SHORTCUT_QEMU_I386}" CACHE STRING "Runs this build's programs" FORCE)
        else()
            message(WARNING "32-bit programs do not run on this kernel; install qemu-user to run the tests")
        endif()
    endif()
endif()
