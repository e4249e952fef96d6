# Installing Tamarind: the libraries, their headers, a CMake package and a pkg-config file.
#
#   cmake --install build --prefix /opt/tamarind
#
# gives, under the prefix,
#   include/tamarind/<folder>/*.h                 the headers, included as "runtime/Variant.h"
#   lib/libtamarind*.a                            the libraries
#   lib/cmake/Tamarind/TamarindConfig.cmake       find_package(Tamarind CONFIG REQUIRED)
#   lib/pkgconfig/tamarind.pc                     pkg-config --cflags --libs tamarind
#
# A consumer links Tamarind::tamarind (the control) and Tamarind::headless (the deterministic
# desktop) or another realisation; every dependency comes with them. Each exported target is
# named after its library without the "tamarind_" prefix (tamarind_headless is Tamarind::headless).
#
# A new library is one line in TAMARIND_INSTALL_LIBRARIES (dependents before what they depend on:
# the pkg-config file links them in this order), plus its header folder in
# TAMARIND_INSTALL_HEADER_DIRS and, when it needs another package, a line in
# cmake/TamarindConfig.cmake.in.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TAMARIND_INSTALL_LIBRARIES
  tamarind
  tamarind_editing
  tamarind_sorting
  tamarind_dataio
  tamarind_presentation
  tamarind_services
  tamarind_registry
  tamarind_core
  tamarind_headless
  tamarind_printing
  tamarind_database
  tamarind_spreadsheet
  tamarind_desktop
  tamarind_audio
  tamarind_platform
  tamarind_resources
  tamarind_runtime)

# The Qt realisation, where it is built, goes in ahead of the libraries it links.
set(TAMARIND_INSTALL_QT OFF)
if(TARGET tamarind_qt)
  set(TAMARIND_INSTALL_QT ON)
  list(INSERT TAMARIND_INSTALL_LIBRARIES 0 tamarind_qt)
endif()

set(TAMARIND_INSTALL_HEADER_DIRS runtime platform core control editing presentation services sorting dataio resources)

# Packages the installed libraries need, for the pkg-config file (the CMake package finds them
# itself, see TamarindConfig.cmake.in), and libraries without a pkg-config file of their own.
set(TAMARIND_PKGCONFIG_REQUIRES "icu-uc icu-i18n alsa sqlite3 odbc pangocairo cairo-pdf")
set(TAMARIND_PKGCONFIG_EXTRA_LIBS "-lcups")
if(TAMARIND_INSTALL_QT)
  string(APPEND TAMARIND_PKGCONFIG_REQUIRES " Qt6Widgets")
endif()

set(TAMARIND_INCLUDE_INSTALL_DIR ${CMAKE_INSTALL_INCLUDEDIR}/tamarind)
set(TAMARIND_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tamarind)

foreach(lib IN LISTS TAMARIND_INSTALL_LIBRARIES)
  if(NOT lib STREQUAL "tamarind")
    string(REGEX REPLACE "^tamarind_" "" exported ${lib})
    set_target_properties(${lib} PROPERTIES EXPORT_NAME ${exported})
  endif()
endforeach()

install(TARGETS ${TAMARIND_INSTALL_LIBRARIES}
  EXPORT TamarindTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
  INCLUDES DESTINATION ${TAMARIND_INCLUDE_INSTALL_DIR})

foreach(dir IN LISTS TAMARIND_INSTALL_HEADER_DIRS)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}/
    DESTINATION ${TAMARIND_INCLUDE_INSTALL_DIR}/${dir}
    FILES_MATCHING PATTERN "*.h")
endforeach()

install(EXPORT TamarindTargets
  NAMESPACE Tamarind::
  DESTINATION ${TAMARIND_CMAKE_INSTALL_DIR})

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TamarindConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TamarindConfig.cmake
  INSTALL_DESTINATION ${TAMARIND_CMAKE_INSTALL_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TamarindConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TamarindConfig.cmake ${PROJECT_BINARY_DIR}/TamarindConfigVersion.cmake
  DESTINATION ${TAMARIND_CMAKE_INSTALL_DIR})

# pkg-config: the static libraries in link order. The prefix is found from the file's own place,
# so the package works wherever `cmake --install --prefix` put it.
file(RELATIVE_PATH TAMARIND_PKGCONFIG_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
set(TAMARIND_PKGCONFIG_LIBS "")
foreach(lib IN LISTS TAMARIND_INSTALL_LIBRARIES)
  string(APPEND TAMARIND_PKGCONFIG_LIBS " -l${lib}")
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/cmake/tamarind.pc.in ${PROJECT_BINARY_DIR}/tamarind.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/tamarind.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
