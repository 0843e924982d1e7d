# Installation of the engine as a library: public headers under
# include/relvane/, the library, a CMake package (relvane::relvane) and a
# pkg-config file. The test program is installed only when asked for.
include(CMakePackageConfigHelpers)

option(RELVANE_INSTALL_DEMO "Install the test program relvane-demo and relvane-render as well" OFF)

set_target_properties(relvane PROPERTIES
  VERSION ${PROJECT_VERSION}
  SOVERSION ${PROJECT_VERSION_MAJOR})

# Only these headers form the public interface; the others under engine/
# are internal to the library.
set(RELVANE_PUBLIC_HEADERS
  relvane.h
  core/pixel.h core/context.h core/surface.h
  pipe/pipe.h pipe/stage_list.h
  draw/shapes.h draw/area.h
  draw/copy.h
  terrain/fractal.h
  shade/shading.h
  shade/view_build.h
  display/display.h)
foreach(header IN LISTS RELVANE_PUBLIC_HEADERS)
  get_filename_component(subdir ${header} DIRECTORY)
  install(FILES ${PROJECT_SOURCE_DIR}/engine/${header}
    DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/relvane/${subdir}
    COMPONENT development)
endforeach()

install(TARGETS relvane EXPORT relvaneTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT development
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT development
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT runtime)

if(RELVANE_BUILD_DEMO AND RELVANE_INSTALL_DEMO)
  install(TARGETS relvane-demo relvane-render RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT demo)
endif()

# The C++ and OpenMP runtimes, as a C program that links the engine must name
# them: the threads library and what the C++ driver links beyond what the C
# driver does.
set(RELVANE_CXX_RUNTIME ${OpenMP_CXX_LIB_NAMES} ${CMAKE_CXX_IMPLICIT_LINK_LIBRARIES})
list(REMOVE_ITEM RELVANE_CXX_RUNTIME ${CMAKE_C_IMPLICIT_LINK_LIBRARIES})
list(REMOVE_DUPLICATES RELVANE_CXX_RUNTIME)
if(RELVANE_LIBRARY_TYPE STREQUAL "STATIC_LIBRARY")
  foreach(lib IN LISTS RELVANE_CXX_RUNTIME)
    target_link_libraries(relvane INTERFACE $<INSTALL_INTERFACE:${lib}>)
  endforeach()
endif()

# CMake package.
set(RELVANE_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/relvane)
install(EXPORT relvaneTargets NAMESPACE relvane:: DESTINATION ${RELVANE_CMAKE_DIR}
  COMPONENT development)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/relvaneConfig.cmake.in
  ${PROJECT_BINARY_DIR}/relvaneConfig.cmake
  INSTALL_DESTINATION ${RELVANE_CMAKE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/relvaneConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/relvaneConfig.cmake ${PROJECT_BINARY_DIR}/relvaneConfigVersion.cmake
  DESTINATION ${RELVANE_CMAKE_DIR} COMPONENT development)

# pkg-config file. The prefix is found from the file's own place, so the
# install can go to any prefix chosen at install time. A static library
# carries what it needs to link from C (SDL, the maths and C++ runtime
# libraries) in Libs; a shared one keeps them private.
set(RELVANE_PC_DEPS ${RELVANE_CXX_RUNTIME} m)
list(REMOVE_DUPLICATES RELVANE_PC_DEPS)
list(TRANSFORM RELVANE_PC_DEPS PREPEND -l REGEX "^[^-/]")
list(JOIN RELVANE_PC_DEPS " " RELVANE_PC_DEPS)
if(RELVANE_LIBRARY_TYPE STREQUAL "STATIC_LIBRARY")
  set(RELVANE_PC_LIBS " ${RELVANE_PC_DEPS}")
  set(RELVANE_PC_LIBS_PRIVATE "")
else()
  set(RELVANE_PC_LIBS "")
  set(RELVANE_PC_LIBS_PRIVATE " ${RELVANE_PC_DEPS}")
endif()
# The vector layer's library: a static engine needs it at link time too.
set(RELVANE_PC_REQUIRES "")
if(RELVANE_SIMD AND NOT EMSCRIPTEN AND RELVANE_LIBRARY_TYPE STREQUAL "STATIC_LIBRARY")
  set(RELVANE_PC_REQUIRES " libhwy")
endif()
set(RELVANE_PC_DIR ${CMAKE_INSTALL_LIBDIR}/pkgconfig)
file(RELATIVE_PATH RELVANE_PC_TO_PREFIX /prefix/${RELVANE_PC_DIR} /prefix)
string(REGEX REPLACE "/$" "" RELVANE_PC_TO_PREFIX "${RELVANE_PC_TO_PREFIX}")
set(RELVANE_PC_PREFIX "\${pcfiledir}/${RELVANE_PC_TO_PREFIX}")
foreach(kind LIBDIR INCLUDEDIR)
  if(IS_ABSOLUTE "${CMAKE_INSTALL_${kind}}")
    set(RELVANE_PC_${kind} "${CMAKE_INSTALL_${kind}}")
  else()
    set(RELVANE_PC_${kind} "\${prefix}/${CMAKE_INSTALL_${kind}}")
  endif()
endforeach()
configure_file(${PROJECT_SOURCE_DIR}/relvane.pc.in ${PROJECT_BINARY_DIR}/relvane.pc @ONLY)
install(FILES ${PROJECT_BINARY_DIR}/relvane.pc DESTINATION ${RELVANE_PC_DIR} COMPONENT development)
