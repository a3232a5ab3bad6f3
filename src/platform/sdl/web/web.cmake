# The desktop device in a browser page, in ZELVO_WEB_OUTPUT: zelvo.html, .js and .wasm, the world as one
# archive (zelvo-world.tar.gz: data files gzipped, music as Ogg Vorbis), the web app manifest, its
# icons and the service worker that keeps all of them for playing offline.
# SDL2 and SDL2_mixer come built for the web in ZELVO_WEB_SDL (scripts/web makes them).
set(ZELVO_WEB_SDL "" CACHE PATH "SDL2 and SDL2_mixer built for the web (include/, lib/)")
set(ZELVO_WEB_OUTPUT ${CMAKE_BINARY_DIR}/page CACHE PATH "Folder that receives the page")
set(ZELVO_DATA_TOOL "" CACHE FILEPATH "The native zelvo-data, which packs the world")
set(ZELVO_OGG_TOOL "" CACHE FILEPATH "The native zelvo-ogg, which encodes the music for the page")
foreach(library SDL2 SDL2_mixer)
  if(NOT EXISTS ${ZELVO_WEB_SDL}/lib/lib${library}.a)
    message(FATAL_ERROR "ZELVO_WEB_SDL=${ZELVO_WEB_SDL} holds no lib/lib${library}.a: scripts/web builds it")
  endif()
endforeach()
if(NOT EXISTS ${ZELVO_DATA_TOOL})
  message(FATAL_ERROR "ZELVO_DATA_TOOL=${ZELVO_DATA_TOOL} is not the native zelvo-data")
endif()
if(NOT EXISTS ${ZELVO_OGG_TOOL})
  message(FATAL_ERROR "ZELVO_OGG_TOOL=${ZELVO_OGG_TOOL} is not the native zelvo-ogg")
endif()
# Where the page unpacks the world: the game's app directory.
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
set(ZELVO_WEB_WORLD ${ZELVO_WEB_OUTPUT}/zelvo-world.tar.gz)
add_custom_command(
  OUTPUT ${ZELVO_WEB_WORLD}
  COMMAND ${CMAKE_COMMAND} -DWORLD=${CMAKE_BINARY_DIR}/world -DSTAGING=${CMAKE_BINARY_DIR}/world-web
          -DOGG_TOOL=${ZELVO_OGG_TOOL} -DARCHIVE=${ZELVO_WEB_WORLD} -P ${CMAKE_CURRENT_SOURCE_DIR}/web/world.cmake
  DEPENDS ${ZELVO_WORLD_STAMP} ${ZELVO_OGG_TOOL} ${CMAKE_CURRENT_SOURCE_DIR}/web/world.cmake
  COMMENT "Packing the world for the page"
  VERBATIM)
add_custom_target(web_world DEPENDS ${ZELVO_WEB_WORLD})
add_dependencies(web_world default_world)

add_executable(zelvo ${PROJECT_SOURCE_DIR}/src/hosts/web_main.cpp ${PROJECT_SOURCE_DIR}/src/hosts/recording.cpp)
target_compile_definitions(zelvo PRIVATE ZELVO_WEB_APP_DIR="${ZELVO_WEB_APP_DIR}")
target_link_libraries(zelvo PRIVATE zelvo_game zelvo_sdl zelvo_warnings)
add_dependencies(zelvo web_world)
set_target_properties(zelvo PROPERTIES SUFFIX ".html" RUNTIME_OUTPUT_DIRECTORY ${ZELVO_WEB_OUTPUT}
                      LINK_DEPENDS "${ZELVO_WEB_PAGE}")
target_link_options(zelvo PRIVATE
  # The game's waits (its message loop, pauses, the dialog box) unwind to the page and resume later.
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=65536
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864 -sENVIRONMENT=web
  # SDL's audio resumes the page's audio at the first click or key, as browsers ask.
  -sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=@${CMAKE_CURRENT_SOURCE_DIR}/web/library-functions.json
  # The page writes the world into the file system before the game starts; the browser test reads
  # the game's log.txt there.
  -sEXPORTED_RUNTIME_METHODS=FS,addRunDependency,removeRunDependency
  -sFORCE_FILESYSTEM=1
  -lidbfs.js
  --shell-file ${ZELVO_WEB_PAGE} -sMINIFY_HTML=0)
# The manifest, its icons and the service worker, whose cache is named after everything it keeps,
# so that a new build replaces the old one in the browser.
set(ZELVO_WEB_OFFLINE_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/web/offline.cmake ${CMAKE_CURRENT_SOURCE_DIR}/web/zelvo-sw.js
    ${CMAKE_CURRENT_SOURCE_DIR}/web/zelvo.webmanifest ${PROJECT_SOURCE_DIR}/packaging/icons/zelvo-192.png
    ${PROJECT_SOURCE_DIR}/packaging/icons/zelvo-512.png)
add_custom_command(
  OUTPUT ${ZELVO_WEB_OUTPUT}/zelvo-sw.js
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${CMAKE_CURRENT_SOURCE_DIR}/web -DICONS=${PROJECT_SOURCE_DIR}/packaging/icons
          -DOUTPUT=${ZELVO_WEB_OUTPUT} -P ${CMAKE_CURRENT_SOURCE_DIR}/web/offline.cmake
  DEPENDS zelvo ${ZELVO_WEB_WORLD} ${ZELVO_WEB_OFFLINE_SOURCES}
  COMMENT "Writing the page's manifest and service worker"
  VERBATIM)
add_custom_target(web_offline ALL DEPENDS ${ZELVO_WEB_OUTPUT}/zelvo-sw.js)
