# windows.cmake -- what a Windows build adds (scripts/windows cross-builds one with mingw-w64).

# Debian's libstb is built for this machine: a Windows build compiles stb itself.
add_library(stb STATIC ${PROJECT_SOURCE_DIR}/src/platform/common/stb_windows.c)
target_include_directories(stb SYSTEM PUBLIC /usr/include/stb)

# The C and C++ runtimes go into every program, so that beside them only SDL's DLLs are needed.
add_link_options(-static)

# zelvo.exe finds SDL's DLLs beside it, in the build folder as in the release.
if(ZELVO_WINDOWS_DEPS)
  file(COPY ${ZELVO_WINDOWS_DEPS}/bin/SDL2.dll ${ZELVO_WINDOWS_DEPS}/bin/SDL2_mixer.dll DESTINATION ${CMAKE_BINARY_DIR})
endif()
