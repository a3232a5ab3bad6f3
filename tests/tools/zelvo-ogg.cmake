# zelvo-ogg.cmake -- zelvo-ogg makes a WAV tune an Ogg Vorbis stream of a fraction of its size, and
# refuses a file that is no WAV and a quality out of range, saying why and writing nothing
# (cmake -P, with TOOL, WAV, NOT_WAV and WORK set).
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${TOOL} ${WAV} ${WORK}/tune.ogg RESULT_VARIABLE failed ERROR_VARIABLE error)
if(failed)
  message(FATAL_ERROR "zelvo-ogg cannot encode ${WAV}: ${error}")
endif()
file(READ ${WORK}/tune.ogg magic LIMIT 4 HEX)
file(SIZE ${WAV} wavSize)
file(SIZE ${WORK}/tune.ogg oggSize)
math(EXPR limit "${wavSize} / 5")
if(NOT magic STREQUAL "4f676753" OR oggSize GREATER limit)  # "OggS"
  message(FATAL_ERROR "${WAV} became ${oggSize} bytes starting with the bytes ${magic}, not Ogg within a fifth of ${wavSize}")
endif()

function(expect_refusal what pattern)
  execute_process(COMMAND ${TOOL} ${ARGN} ${WORK}/refused.ogg RESULT_VARIABLE failed ERROR_VARIABLE error)
  if(failed EQUAL 0 OR NOT error MATCHES "${pattern}" OR EXISTS ${WORK}/refused.ogg)
    message(FATAL_ERROR "zelvo-ogg took ${what} (exit ${failed}, said '${error}')")
  endif()
endfunction()
get_filename_component(name ${NOT_WAV} NAME)
expect_refusal("a file that is no WAV" "${name}: not a WAV file" ${NOT_WAV})
expect_refusal("quality 2" "--quality takes a number from -0.1 to 1.0, not '2'" --quality 2 ${WAV})
file(REMOVE_RECURSE ${WORK})
