# Every compiled copy of the program's resources (the program's and its tests') is rebuilt when a
# file it takes in changes: asked of the build itself. Without that, a changed logo or icon
# leaves the old one built in, and the tests pass on it.
execute_process(COMMAND ${NINJA} -C ${BUILD} -t targets all OUTPUT_VARIABLE targets
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCHALL "[^\n]*resources\\.rc\\.res:" compiled "${targets}")
list(LENGTH compiled count)
if(NOT count EQUAL 2)
  message(FATAL_ERROR "the program's and its tests' resources, compiled: ${compiled}")
endif()
set(missing "")
foreach(output IN LISTS compiled)
  string(REGEX REPLACE ":$" "" output "${output}")
  execute_process(COMMAND ${NINJA} -C ${BUILD} -t query ${output} OUTPUT_VARIABLE inputs
                  COMMAND_ERROR_IS_FATAL ANY)
  foreach(file assets/logo.gif assets/logo@2x.gif assets/halvern.ico
               assets/icons/halvern-large.ico ui/win32/halvern-fee.manifest ui/win32/Resources.h)
    string(FIND "${inputs}" "${TOP}/${file}" at)
    if(at EQUAL -1)
      list(APPEND missing "${output} without ${file}")
    endif()
  endforeach()
endforeach()
if(missing)
  message(FATAL_ERROR "not rebuilt when these change: ${missing}")
endif()
