# Cross build for 64-bit Arm Linux with Debian's cross compiler, run under
# qemu-user. The arm64 libraries live in a private tree of unpacked Debian
# packages, given as RELVANE_AARCH64_SYSROOT (scripts/lib/aarch64.sh makes it);
# the C and C++ runtime are the cross toolchain's, in /usr/aarch64-linux-gnu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

# Try-compile projects read this file again and need the tree too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES RELVANE_AARCH64_SYSROOT)
if(NOT RELVANE_AARCH64_SYSROOT)
  set(RELVANE_AARCH64_SYSROOT "$ENV{RELVANE_AARCH64_SYSROOT}")
endif()
if(NOT IS_DIRECTORY "${RELVANE_AARCH64_SYSROOT}/usr/lib/aarch64-linux-gnu")
  message(FATAL_ERROR "RELVANE_AARCH64_SYSROOT must name the unpacked arm64 packages (scripts/test makes it)")
endif()
set(RELVANE_AARCH64_SYSROOT "${RELVANE_AARCH64_SYSROOT}" CACHE PATH "Unpacked arm64 packages")
set(ENV{RELVANE_AARCH64_SYSROOT} "${RELVANE_AARCH64_SYSROOT}")
# Every folder of the tree that holds shared libraries (some, such as the
# sound server's private one, are found through a run path of their own).
file(GLOB_RECURSE _relvane_shared_libs "${RELVANE_AARCH64_SYSROOT}/*.so" "${RELVANE_AARCH64_SYSROOT}/*.so.*")
set(_relvane_libdirs)
foreach(_relvane_lib IN LISTS _relvane_shared_libs)
  get_filename_component(_relvane_dir "${_relvane_lib}" DIRECTORY)
  list(APPEND _relvane_libdirs "${_relvane_dir}")
endforeach()
list(REMOVE_DUPLICATES _relvane_libdirs)

# Libraries, headers and packages from the tree and the cross runtime only;
# programs from the host.
set(CMAKE_FIND_ROOT_PATH "${RELVANE_AARCH64_SYSROOT}" /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads the tree's .pc files, never the host's, and puts the
# tree in front of the paths they give.
set(ENV{PKG_CONFIG_LIBDIR} "${RELVANE_AARCH64_SYSROOT}/usr/lib/aarch64-linux-gnu/pkgconfig:${RELVANE_AARCH64_SYSROOT}/usr/share/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${RELVANE_AARCH64_SYSROOT}")
unset(ENV{PKG_CONFIG_PATH})

# Shared libraries in the tree need theirs found when linking a program.
list(JOIN _relvane_libdirs ":" _relvane_rpath_link)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-rpath-link,${_relvane_rpath_link}")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,-rpath-link,${_relvane_rpath_link}")

# Test programs (and the test discovery that lists them) run under qemu,
# loading the cross runtime and the tree's libraries. QEMU_CPU picks the
# processor.
list(JOIN _relvane_libdirs ":" _relvane_library_path)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu
  -E "LD_LIBRARY_PATH=${_relvane_library_path}")
