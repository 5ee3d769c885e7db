# The Debian package of what the board needs (cpack -G DEB in the build folder; ./cross.sh
# package for the board's armhf build): the program in /usr/bin, the compiled translations and
# the language description files in /usr/lib/language (the folder the program reads them from).
# Icons, style sheet, help pages and templates are compiled into the program.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX /usr CACHE PATH "The program's language folder is /usr/lib/language" FORCE)
endif()
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME corvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Operating software of the Corvane partial-discharge detector")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Corvane developers")
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# The board gets the program without its debugging symbols.
set(CPACK_STRIP_FILES TRUE)
if(CMAKE_CROSSCOMPILING AND CMAKE_SYSTEM_PROCESSOR MATCHES "^arm")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE armhf)
endif()
# Qwt's armhf library is not installed on the build machine, so dpkg-shlibdeps cannot name its
# package: the run-time packages are listed here.
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "libc6, libstdc++6, libqt5core5a (>= 5.11), libqt5gui5 (>= 5.11) | libqt5gui5-gles (>= 5.11), libqt5widgets5 (>= 5.11), libqt5xml5 (>= 5.11), libqt5svg5 (>= 5.11), libqwt-qt5-6 (>= 6.1)")
include(CPack)
