# Installing Tamarind: the libraries, their headers, a CMake package and pkg-config files.
#
#   cmake --install build --prefix /opt/tamarind
#
# gives, under the prefix,
#   include/tamarind/<folder>/*.h                 the headers, included as "runtime/Variant.h"
#   lib/libtamarind*.a                            the libraries
#   lib/cmake/Tamarind/TamarindConfig.cmake       find_package(Tamarind CONFIG REQUIRED COMPONENTS headless)
#   lib/cmake/Tamarind/Tamarind<Component>Targets.cmake   one export set per component
#   lib/pkgconfig/tamarind.pc                     pkg-config --cflags --libs tamarind (headless)
#   lib/pkgconfig/tamarind-<component>.pc         audio, printing, database, qt
#
# The package comes in components, so that a program needs only the packages of what it links:
#   headless   the control and the libraries it is built on, Tamarind::headless, Tamarind::desktop,
#              Tamarind::spreadsheet (ICU and Threads only; "spreadsheet" names the same set)
#   audio      Tamarind::audio (ALSA)
#   printing   Tamarind::printing (pangocairo, cairo-pdf, CUPS)
#   database   Tamarind::database (SQLite3, ODBC)
#   qt         Tamarind::qt and Tamarind::widget, where built (Qt 6 Widgets; builds on audio and
#              printing: the Qt desktop plays sounds and prints)
# Every component builds on headless. Each exported target is named after its library without the
# "tamarind_" prefix (tamarind_headless is Tamarind::headless). TamarindConfig.cmake.in looks up
# the packages of the requested components only and loads only their targets files.
#
# A new library is one line in its component's list below (dependents before what they depend on:
# the pkg-config files link them in this order, and the configure checks it), plus its header
# folder in TAMARIND_INSTALL_HEADER_DIRS. When it needs another package, the component's lookup in
# cmake/TamarindConfig.cmake.in and its Requires here get a line too.

include(GNUInstallDirs)
include(CMakePackageConfigHelpers)

set(TAMARIND_HEADLESS_LIBRARIES
  tamarind_designtime
  tamarind
  tamarind_dataio
  tamarind_sorting
  tamarind_editing
  tamarind_services
  tamarind_registry
  tamarind_presentation
  tamarind_core
  tamarind_spreadsheet
  tamarind_headless
  tamarind_desktop
  tamarind_platform
  tamarind_resources
  tamarind_runtime)
set(TAMARIND_AUDIO_LIBRARIES tamarind_audio)
set(TAMARIND_PRINTING_LIBRARIES tamarind_printing)
set(TAMARIND_DATABASE_LIBRARIES tamarind_database)
set(TAMARIND_QT_LIBRARIES)

# What each component builds on, and the packages its pkg-config file requires beyond those.
set(TAMARIND_HEADLESS_BUILDS_ON)
set(TAMARIND_AUDIO_BUILDS_ON headless)
set(TAMARIND_PRINTING_BUILDS_ON headless)
set(TAMARIND_DATABASE_BUILDS_ON headless)
set(TAMARIND_QT_BUILDS_ON headless audio printing)
set(TAMARIND_HEADLESS_PC_REQUIRES icu-uc icu-i18n)
set(TAMARIND_AUDIO_PC_REQUIRES alsa)
set(TAMARIND_PRINTING_PC_REQUIRES pangocairo cairo-pdf)
set(TAMARIND_DATABASE_PC_REQUIRES sqlite3 odbc)
set(TAMARIND_QT_PC_REQUIRES Qt6Widgets)
set(TAMARIND_HEADLESS_PC_DESCRIPTION "the control and the headless desktop")
set(TAMARIND_AUDIO_PC_DESCRIPTION "sound output through ALSA")
set(TAMARIND_PRINTING_PC_DESCRIPTION "PDF files and CUPS printers")
set(TAMARIND_DATABASE_PC_DESCRIPTION "recordsets over SQLite and ODBC")
set(TAMARIND_QT_PC_DESCRIPTION "real windows on Qt 6 Widgets")
# Flags without a pkg-config file of their own (Debian's CUPS has none).
set(TAMARIND_HEADLESS_PC_EXTRA_LIBS -pthread)
set(TAMARIND_AUDIO_PC_EXTRA_LIBS -pthread)
set(TAMARIND_PRINTING_PC_EXTRA_LIBS -lcups)
set(TAMARIND_DATABASE_PC_EXTRA_LIBS)
set(TAMARIND_QT_PC_EXTRA_LIBS)

set(TAMARIND_COMPONENTS headless audio printing database)
# The Qt realisation and the widget over it, where they are built.
if(TARGET tamarind_qt)
  list(APPEND TAMARIND_COMPONENTS qt)
  set(TAMARIND_QT_LIBRARIES tamarind_qt)
  if(TARGET tamarind_widget)
    list(PREPEND TAMARIND_QT_LIBRARIES tamarind_widget)
  endif()
  if(TARGET tamarind_propertysheet)
    list(PREPEND TAMARIND_QT_LIBRARIES tamarind_propertysheet)
  endif()
endif()

set(TAMARIND_INSTALL_HEADER_DIRS runtime platform core control editing presentation services sorting dataio resources
  designtime)
if(TARGET tamarind_widget)
  list(APPEND TAMARIND_INSTALL_HEADER_DIRS widget)
endif()
if(TARGET tamarind_propertysheet)
  list(APPEND TAMARIND_INSTALL_HEADER_DIRS propertysheet)
endif()

set(TAMARIND_INCLUDE_INSTALL_DIR ${CMAKE_INSTALL_INCLUDEDIR}/tamarind)
set(TAMARIND_CMAKE_INSTALL_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/Tamarind)

# A library may link only what comes after it in its own list or the libraries of the components
# it builds on. Anything else would break the pkg-config link order, or make a targets file refer
# to one loaded after it (or not at all, as when headless linked the database).
foreach(component IN LISTS TAMARIND_COMPONENTS)
  string(TOUPPER ${component} COMPONENT)
  set(allowed)
  foreach(base IN LISTS TAMARIND_${COMPONENT}_BUILDS_ON)
    string(TOUPPER ${base} BASE)
    list(APPEND allowed ${TAMARIND_${BASE}_LIBRARIES})
  endforeach()
  set(bases "${TAMARIND_${COMPONENT}_BUILDS_ON}")
  if(NOT bases)
    set(bases "nothing")
  endif()
  set(libs ${TAMARIND_${COMPONENT}_LIBRARIES})
  list(REVERSE libs)
  foreach(lib IN LISTS libs)
    get_target_property(deps ${lib} LINK_LIBRARIES)
    foreach(dep IN LISTS deps)
      if(NOT TARGET "${dep}")
        continue()
      endif()
      get_target_property(aliased ${dep} ALIASED_TARGET)
      if(aliased)
        set(dep ${aliased})
      endif()
      get_target_property(imported ${dep} IMPORTED)
      if(NOT imported AND NOT dep IN_LIST allowed)
        message(FATAL_ERROR "Install.cmake: ${lib} (component ${component}) links ${dep}, which "
          "neither comes after it in its list nor belongs to what ${component} builds on (${bases})")
      endif()
    endforeach()
    list(APPEND allowed ${lib})
  endforeach()
endforeach()

# One export set per component. A set may refer to the targets of the sets its component builds
# on; the package's config loads them first.
foreach(component IN LISTS TAMARIND_COMPONENTS)
  string(TOUPPER ${component} COMPONENT)
  string(SUBSTRING ${component} 0 1 first)
  string(SUBSTRING ${component} 1 -1 rest)
  string(TOUPPER ${first} first)
  set(export_set Tamarind${first}${rest}Targets)

  foreach(lib IN LISTS TAMARIND_${COMPONENT}_LIBRARIES)
    if(NOT lib STREQUAL "tamarind")
      string(REGEX REPLACE "^tamarind_" "" exported ${lib})
      set_target_properties(${lib} PROPERTIES EXPORT_NAME ${exported})
    endif()
  endforeach()
  install(TARGETS ${TAMARIND_${COMPONENT}_LIBRARIES}
    EXPORT ${export_set}
    ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR}
    LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}
    INCLUDES DESTINATION ${TAMARIND_INCLUDE_INSTALL_DIR})
  install(EXPORT ${export_set}
    NAMESPACE Tamarind::
    DESTINATION ${TAMARIND_CMAKE_INSTALL_DIR})
endforeach()

foreach(dir IN LISTS TAMARIND_INSTALL_HEADER_DIRS)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/${dir}/
    DESTINATION ${TAMARIND_INCLUDE_INSTALL_DIR}/${dir}
    FILES_MATCHING PATTERN "*.h")
endforeach()

configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/TamarindConfig.cmake.in
  ${PROJECT_BINARY_DIR}/TamarindConfig.cmake
  INSTALL_DESTINATION ${TAMARIND_CMAKE_INSTALL_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/TamarindConfigVersion.cmake
  VERSION ${PROJECT_VERSION}
  COMPATIBILITY SameMinorVersion)
install(FILES ${PROJECT_BINARY_DIR}/TamarindConfig.cmake ${PROJECT_BINARY_DIR}/TamarindConfigVersion.cmake
  DESTINATION ${TAMARIND_CMAKE_INSTALL_DIR})

# pkg-config: one file per component, its static libraries in link order; a component requires the
# files of those it builds on, so their libraries follow its own. The prefix is found from the
# file's own place, so the package works wherever `cmake --install --prefix` put it.
file(RELATIVE_PATH TAMARIND_PKGCONFIG_TO_PREFIX "/prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig" "/prefix")
foreach(component IN LISTS TAMARIND_COMPONENTS)
  string(TOUPPER ${component} COMPONENT)
  if(component STREQUAL "headless")
    set(TAMARIND_PC_FILE tamarind)
    set(TAMARIND_PC_NAME "Tamarind")
  else()
    set(TAMARIND_PC_FILE tamarind-${component})
    set(TAMARIND_PC_NAME "Tamarind (${component})")
  endif()
  set(TAMARIND_PC_DESCRIPTION "${PROJECT_DESCRIPTION}: ${TAMARIND_${COMPONENT}_PC_DESCRIPTION}")
  set(requires)
  foreach(base IN LISTS TAMARIND_${COMPONENT}_BUILDS_ON)
    if(base STREQUAL "headless")
      list(APPEND requires tamarind)
    else()
      list(APPEND requires tamarind-${base})
    endif()
  endforeach()
  list(APPEND requires ${TAMARIND_${COMPONENT}_PC_REQUIRES})
  list(JOIN requires " " TAMARIND_PC_REQUIRES)
  set(TAMARIND_PC_LIBS "")
  foreach(lib IN LISTS TAMARIND_${COMPONENT}_LIBRARIES)
    string(APPEND TAMARIND_PC_LIBS " -l${lib}")
  endforeach()
  foreach(flag IN LISTS TAMARIND_${COMPONENT}_PC_EXTRA_LIBS)
    string(APPEND TAMARIND_PC_LIBS " ${flag}")
  endforeach()
  configure_file(${PROJECT_SOURCE_DIR}/cmake/tamarind.pc.in ${PROJECT_BINARY_DIR}/${TAMARIND_PC_FILE}.pc @ONLY)
  install(FILES ${PROJECT_BINARY_DIR}/${TAMARIND_PC_FILE}.pc DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
endforeach()
