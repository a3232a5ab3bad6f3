# The desktop device in a browser page: zelvo.html, .js, .wasm and .data (the world) in ZELVO_WEB_OUTPUT.
# SDL2 and SDL2_mixer come built for the web in ZELVO_WEB_SDL (scripts/web makes them).
set(ZELVO_WEB_SDL "" CACHE PATH "SDL2 and SDL2_mixer built for the web (include/, lib/)")
set(ZELVO_WEB_OUTPUT ${CMAKE_BINARY_DIR}/page CACHE PATH "Folder that receives the page")
set(ZELVO_DATA_TOOL "" CACHE FILEPATH "The native zelvo-data, which packs the world")
foreach(library SDL2 SDL2_mixer)
  if(NOT EXISTS ${ZELVO_WEB_SDL}/lib/lib${library}.a)
    message(FATAL_ERROR "ZELVO_WEB_SDL=${ZELVO_WEB_SDL} holds no lib/lib${library}.a: scripts/web builds it")
  endif()
endforeach()
if(NOT EXISTS ${ZELVO_DATA_TOOL})
  message(FATAL_ERROR "ZELVO_DATA_TOOL=${ZELVO_DATA_TOOL} is not the native zelvo-data")
endif()
# Where the page preloads the world: the game's app directory.
set(ZELVO_WEB_APP_DIR /zelvo)

# A page has no single-copy lock and no desktop to ask for drivers or memory.
list(REMOVE_ITEM ZELVO_SDL_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/native.cpp ${CMAKE_CURRENT_SOURCE_DIR}/instance_posix.cpp)
file(GLOB ZELVO_WEB_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/web/*.cpp)
add_library(zelvo_sdl STATIC ${ZELVO_SDL_SOURCES} ${ZELVO_WEB_SOURCES})
target_include_directories(zelvo_sdl PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_include_directories(zelvo_sdl SYSTEM PUBLIC ${ZELVO_WEB_SDL}/include/SDL2 PRIVATE /usr/include/stb)
target_link_libraries(zelvo_sdl PUBLIC zelvo_platform_common ${ZELVO_WEB_SDL}/lib/libSDL2_mixer.a
                      ${ZELVO_WEB_SDL}/lib/libSDL2.a PRIVATE zelvo_warnings)

set(ZELVO_WORLD_STAMP ${CMAKE_BINARY_DIR}/content/default-world.stamp)
set(ZELVO_WEB_PAGE ${CMAKE_CURRENT_SOURCE_DIR}/web/zelvo.html)
add_executable(zelvo ${PROJECT_SOURCE_DIR}/src/hosts/web_main.cpp ${PROJECT_SOURCE_DIR}/src/hosts/recording.cpp)
target_compile_definitions(zelvo PRIVATE ZELVO_WEB_APP_DIR="${ZELVO_WEB_APP_DIR}")
target_link_libraries(zelvo PRIVATE zelvo_game zelvo_sdl zelvo_warnings)
add_dependencies(zelvo default_world)
set_target_properties(zelvo PROPERTIES SUFFIX ".html" RUNTIME_OUTPUT_DIRECTORY ${ZELVO_WEB_OUTPUT}
                      LINK_DEPENDS "${ZELVO_WORLD_STAMP};${ZELVO_WEB_PAGE}")
target_link_options(zelvo PRIVATE
  # The game's waits (its message loop, pauses, the dialog box) unwind to the page and resume later.
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864 -sENVIRONMENT=web
  # SDL's audio resumes the page's audio at the first click or key, as browsers ask.
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_CURRENT_SOURCE_DIR}/web/library-functions.json
  # The browser test reads the game's log.txt through the page's file system.
  -sEXPORTED_RUNTIME_METHODS=FS
  -lidbfs.js
  --preload-file ${CMAKE_BINARY_DIR}/world@${ZELVO_WEB_APP_DIR}
  --shell-file ${ZELVO_WEB_PAGE} -sMINIFY_HTML=0)
