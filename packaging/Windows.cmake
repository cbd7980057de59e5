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
configure_file(${PROJECT_SOURCE_DIR}/assets/halvern.ico ${PROJECT_BINARY_DIR}/halvern.ico COPYONLY)
# Fixed for every version to come: it is how one version finds the one it replaces.
set(HALVERN_UPGRADE_CODE "20BCA477-1482-4187-AB9E-889B860A9ACC")
find_program(MSIBUILD msibuild REQUIRED)
string(REPLACE "," "." file_version "${HALVERN_NUMERIC_VERSION}")

# halvern_add_msi(<target> <msi> <product version>): the installer of this build's program as
# that version. What wixl cannot say goes into its tables after it: the program file's version,
# so a repair or an upgrade compares versions, and an upper bound on the versions it replaces
# that includes its own, so a rebuild of one version replaces it instead of installing beside
# it. The bound is part of its row's key, which libmsi cannot update: the row is written anew,
# with 513 = migrate features + include the maximum.
function(halvern_add_msi target msi version)
  set(HALVERN_PRODUCT_VERSION ${version})
  set(wxs ${PROJECT_BINARY_DIR}/${target}.wxs)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/halvern-fee.wxs.in ${wxs} @ONLY)
  add_custom_command(OUTPUT ${msi}
    COMMAND ${WIXL} --arch x64 -o ${msi} ${wxs}
    COMMAND ${MSIBUILD} ${msi}
            -q "UPDATE `File` SET `Version` = '${file_version}' WHERE `File` = 'Program'"
    COMMAND ${MSIBUILD} ${msi}
            -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'"
            -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('{${HALVERN_UPGRADE_CODE}}', '${version}', 513, 'WIX_UPGRADE_DETECTED')"
    # wixl takes the files by names relative to where it runs: all of them at the build's top.
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    DEPENDS halvern-fee ${notices} ${wxs} ${PROJECT_BINARY_DIR}/halvern.ico
            ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Building the Windows installer for version ${version} with wixl"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${msi})
endfunction()

set(HALVERN_MSI ${PROJECT_BINARY_DIR}/${HALVERN_EXECUTABLE}-${HALVERN_PRODUCT_VERSION}.msi)
halvern_add_msi(msi ${HALVERN_MSI} ${HALVERN_PRODUCT_VERSION})
# For the test of an upgrade: a later version, and that version built a second time, with a
# product code of its own as every build has.
set(HALVERN_LATER_MSI ${PROJECT_BINARY_DIR}/tests/${HALVERN_EXECUTABLE}-later.msi)
halvern_add_msi(later-msi ${HALVERN_LATER_MSI} 1.99)
set(HALVERN_REBUILT_MSI ${PROJECT_BINARY_DIR}/tests/${HALVERN_EXECUTABLE}-later-rebuilt.msi)
halvern_add_msi(rebuilt-msi ${HALVERN_REBUILT_MSI} 1.99)
set(HALVERN_MSI ${HALVERN_MSI} PARENT_SCOPE)
set(HALVERN_LATER_MSI ${HALVERN_LATER_MSI} PARENT_SCOPE)
set(HALVERN_REBUILT_MSI ${HALVERN_REBUILT_MSI} PARENT_SCOPE)
