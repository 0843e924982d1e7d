# The browser edition: Emscripten's own CMake platform, with pkg-config kept
# inside Emscripten's sysroot (the host's sdl.pc would bring another SDL's
# key codes and event record) and node's modules where the linker's
# JavaScript passes look for them.
if(NOT EMSCRIPTEN_ROOT_PATH)
  execute_process(COMMAND em-config EMSCRIPTEN_ROOT OUTPUT_VARIABLE EMSCRIPTEN_ROOT_PATH
                  OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
endif()
include(${EMSCRIPTEN_ROOT_PATH}/cmake/Modules/Platform/Emscripten.cmake)

set(ENV{PKG_CONFIG_LIBDIR} "${EMSCRIPTEN_SYSROOT}/lib/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(CMAKE_C_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)

set(CMAKE_BUILD_TYPE Release CACHE STRING "Build type")
set(RELVANE_BUILD_TESTS OFF CACHE BOOL "The test suite runs natively")
set(RELVANE_BUILD_BENCH OFF CACHE BOOL "The benchmarks run natively")
# Emscripten's own SDL 1.2 layer, built in (nothing is downloaded).
set(CMAKE_C_FLAGS_INIT "-sUSE_SDL=1")
set(CMAKE_CXX_FLAGS_INIT "-sUSE_SDL=1")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-sUSE_SDL=1")
# The fast paths build for WebAssembly's SIMD128, chosen when compiling.
set(RELVANE_SIMD ON CACHE BOOL "Build the fast paths beside the scalar reference code")
