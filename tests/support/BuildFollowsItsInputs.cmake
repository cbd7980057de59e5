# cmake -DNINJA=<ninja> -DBUILD=<build folder> -DOUTPUTS=<regex> -DCOUNT=<n> "-DINPUTS=<paths>"
#   -P BuildFollowsItsInputs.cmake
# Each of the COUNT outputs of the build whose whole names from BUILD match OUTPUTS is made again
# when any of INPUTS changes: asked of the build graph itself. A step that misses a file it takes
# in leaves the old one built in after a change, and the tests pass on it; a fresh build never
# shows that.
execute_process(COMMAND ${NINJA} -C ${BUILD} -t targets all OUTPUT_VARIABLE targets
                COMMAND_ERROR_IS_FATAL ANY)
# Whole names, from the build folder: an output made somewhere else than where the user is sent
# for it would otherwise pass.
string(REPLACE "\n" ";" outputs "${targets}")
list(FILTER outputs INCLUDE REGEX "^(${OUTPUTS}): ")
list(LENGTH outputs count)
if(NOT count EQUAL COUNT)
  message(FATAL_ERROR "${COUNT} outputs named like ${OUTPUTS} expected, found: ${outputs}")
endif()
set(missing "")
foreach(output IN LISTS outputs)
  string(REGEX REPLACE ": [^:]*$" "" output "${output}")
  execute_process(COMMAND ${NINJA} -C ${BUILD} -t query ${output} OUTPUT_VARIABLE graph
                  COMMAND_ERROR_IS_FATAL ANY)
  foreach(input IN LISTS INPUTS)
    # the build names what it makes itself from its own folder
    string(REPLACE "${BUILD}/" "" named "${input}")
    string(FIND "${graph}" " ${named}\n" at)
    if(at EQUAL -1)
      list(APPEND missing "${output} without ${named}")
    endif()
  endforeach()
endforeach()
if(missing)
  message(FATAL_ERROR "not made again when these change: ${missing}")
endif()
