# mingw-w64.cmake -- cross-building for 64-bit Windows with Debian's mingw-w64 (scripts/windows).
# The -posix compilers: their libstdc++ has std::thread and std::mutex, which the win32 model lacks.
# ZELVO_WINDOWS_DEPS names the folder holding SDL2, SDL2_mixer, GoogleTest and the header-only
# libraries built or gathered for Windows; it is searched instead of the build machine's own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZELVO_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
if(ZELVO_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${ZELVO_WINDOWS_DEPS})
  set(CMAKE_C_STANDARD_INCLUDE_DIRECTORIES ${ZELVO_WINDOWS_DEPS}/include)
  set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${ZELVO_WINDOWS_DEPS}/include)
  set(ENV{PKG_CONFIG_LIBDIR} ${ZELVO_WINDOWS_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
