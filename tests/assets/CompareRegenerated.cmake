# Runs the asset generator into a scratch folder and compares its files with the committed ones.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${GENERATOR} ${WORK} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "make-assets failed: ${status}")
endif()
foreach(name halvern.ico logo.gif logo@2x.gif icons/halvern-48.png icons/halvern-64.png
             icons/halvern-128.png icons/halvern-256.png icons/halvern-large.ico
             icons/halvern-192.png icons/halvern-512.png)
  execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${ASSETS}/${name} ${WORK}/${name}
                  RESULT_VARIABLE different)
  if(different)
    message(FATAL_ERROR "assets/${name} differs from what tools/make-assets.cpp draws")
  endif()
endforeach()
message(STATUS "every asset matches the generator byte for byte")
