# Gathers copies of the built site again, as the build does, the same files and then one changed in
# each: the worker's cache is named after every file's contents, so a site rebuilt under the same
# version never puts its files into the cache a page of the one before still reads.
#   cmake -DSITE= -DWORK= -DGATHER=<GatherSite.cmake> -DMODULE= -DMANIFEST= -DWORKER= -DVERSION=
#         -P CacheNameFollowsFiles.cmake
function(cache_name site into)
  file(STRINGS ${site}/sw.js line REGEX "^const cacheName = ")
  set(${into} "${line}" PARENT_SCOPE)
endfunction()

cache_name(${SITE} built)
foreach(changed "" index.html icons/halvern-192.png)
  file(REMOVE_RECURSE ${WORK})
  file(COPY ${SITE}/ DESTINATION ${WORK})
  if(changed)
    file(APPEND ${WORK}/${changed} " ")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -DSITE=${WORK} -DCOPIED= -DMODULE=${MODULE}
                          -DMANIFEST=${MANIFEST} -DWORKER=${WORKER} -DVERSION=${VERSION} -P ${GATHER}
                  RESULT_VARIABLE status)
  cache_name(${WORK} gathered)
  if(NOT status EQUAL 0 OR gathered STREQUAL "")
    message(FATAL_ERROR "gathering the site again failed (${status})")
  elseif(changed AND gathered STREQUAL built)
    message(FATAL_ERROR "with ${changed} changed, the cache keeps its name: ${built}")
  elseif(NOT changed AND NOT gathered STREQUAL built)
    message(FATAL_ERROR "the same files name another cache: ${gathered}, not ${built}")
  endif()
endforeach()
message(STATUS "the cache's name follows every file of the site: ${built}")
