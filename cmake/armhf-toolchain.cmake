# Cross-build for the board (32-bit ARM, hard float) with Debian's cross compiler and multiarch
# armhf packages (scripts/cross-deps.sh installs them):
#   cmake -S . -B build-cross -DCMAKE_TOOLCHAIN_FILE=cmake/armhf-toolchain.cmake
# Qt comes from the multiarch folders; Qwt, whose armhf packages cannot be installed beside the
# native ones, from the folder they were unpacked into (CORVANE_CROSS_SYSROOT, by default
# build-cross/sysroot). Programs built here run on this machine through qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

set(CORVANE_CROSS_SYSROOT "${CMAKE_CURRENT_LIST_DIR}/../build-cross/sysroot" CACHE PATH
    "Folder holding the unpacked armhf packages (Qwt)")
get_filename_component(CORVANE_CROSS_SYSROOT "${CORVANE_CROSS_SYSROOT}" ABSOLUTE)
set(QWT_INCLUDE_DIR "${CORVANE_CROSS_SYSROOT}/usr/include/qwt" CACHE PATH "Qwt headers (armhf)")
set(QWT_LIBRARY "${CORVANE_CROSS_SYSROOT}/usr/lib/libqwt-qt5.so" CACHE FILEPATH "Qwt library (armhf)")

# Look for libraries and packages of the target only; programs (moc, uic, rcc, lrelease) are
# the build machine's.
set(CMAKE_FIND_ROOT_PATH "${CORVANE_CROSS_SYSROOT}" /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# lrelease and lupdate run on the build machine: take the native Qt's description of them.
file(GLOB _corvane_linguist LIST_DIRECTORIES true /usr/lib/*-linux-gnu*/cmake/Qt5LinguistTools)
list(FILTER _corvane_linguist EXCLUDE REGEX "arm-linux-gnueabihf")
if(_corvane_linguist)
  list(GET _corvane_linguist 0 _corvane_linguist)
  set(Qt5LinguistTools_DIR "${_corvane_linguist}" CACHE PATH "The build machine's Qt linguist tools")
endif()

# Tests and the board simulator run under qemu-user; the armhf C library of the multiarch
# packages is found at its own place (QEMU_LD_PREFIX may name a folder searched first).
find_program(CORVANE_QEMU_ARM NAMES qemu-arm-static qemu-arm)
if(CORVANE_QEMU_ARM)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${CORVANE_QEMU_ARM}")
endif()
