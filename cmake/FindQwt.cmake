# Debian's libqwt-qt5-dev ships no CMake package: find the header and library by hand and wrap
# them in an imported target.
find_path(QWT_INCLUDE_DIR qwt_plot.h PATH_SUFFIXES qwt-qt5 qwt6 qwt include/qwt)
find_library(QWT_LIBRARY NAMES qwt-qt5 qwt6-qt5 qwt)
if(NOT QWT_INCLUDE_DIR OR NOT QWT_LIBRARY)
  message(FATAL_ERROR "Qwt 6 for Qt 5 not found (Debian: apt-get install libqwt-qt5-dev)")
endif()
add_library(Qwt::Qwt UNKNOWN IMPORTED)
set_target_properties(Qwt::Qwt PROPERTIES
  IMPORTED_LOCATION "${QWT_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${QWT_INCLUDE_DIR}"
  INTERFACE_LINK_LIBRARIES "Qt5::Widgets;Qt5::Svg")
message(STATUS "Qwt: ${QWT_LIBRARY} (${QWT_INCLUDE_DIR})")
