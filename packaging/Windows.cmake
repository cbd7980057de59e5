# The Windows downloads: halvern-fee.exe (one static executable) and halvern-fee-<version>.msi,
# both at the top of the build folder. Included by ui/win32/ once the program target exists.
set_target_properties(halvern-fee PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
target_link_options(halvern-fee PRIVATE $<$<CONFIG:Release>:-s>)

# Static linking puts the MinGW-w64 runtime, winpthreads, libgcc and libstdc++ into the
# executable: their licences, as Debian ships them, go beside it.
set(notices ${PROJECT_BINARY_DIR}/licences.txt)
set(notice_sources
  /usr/share/doc/mingw-w64-x86-64-dev/copyright
  /usr/share/doc/gcc-mingw-w64-base/copyright)
string(JOIN "," notice_list ${notice_sources})
add_custom_command(OUTPUT ${notices}
  COMMAND ${CMAKE_COMMAND} -DOUTPUT=${notices} -DSOURCES=${notice_list}
          -P ${CMAKE_CURRENT_LIST_DIR}/WindowsNotices.cmake
  DEPENDS ${notice_sources} ${CMAKE_CURRENT_LIST_DIR}/WindowsNotices.cmake
  COMMENT "Gathering the licence notices of the statically linked runtime")

find_program(WIXL wixl)
if(NOT WIXL)
  message(STATUS "wixl is not installed: no .msi is built (make windows installs it)")
  add_custom_target(notices ALL DEPENDS ${notices})
  return()
endif()
# wixl takes the files by names relative to where it runs: all of them at the build's top.
configure_file(${PROJECT_SOURCE_DIR}/assets/halvern.ico ${PROJECT_BINARY_DIR}/halvern.ico COPYONLY)
set(HALVERN_MSI ${PROJECT_BINARY_DIR}/${HALVERN_EXECUTABLE}-${HALVERN_PRODUCT_VERSION}.msi)
configure_file(${CMAKE_CURRENT_LIST_DIR}/halvern-fee.wxs.in ${PROJECT_BINARY_DIR}/halvern-fee.wxs
  @ONLY)
add_custom_command(OUTPUT ${HALVERN_MSI}
  COMMAND ${WIXL} --arch x64 -o ${HALVERN_MSI} halvern-fee.wxs
  WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
  DEPENDS halvern-fee ${notices} ${PROJECT_BINARY_DIR}/halvern-fee.wxs
          ${PROJECT_BINARY_DIR}/halvern.ico
  COMMENT "Building the Windows installer with wixl")
add_custom_target(msi ALL DEPENDS ${HALVERN_MSI})
set(HALVERN_MSI ${HALVERN_MSI} PARENT_SCOPE)
