# The Windows downloads: halvern-fee.exe (one static executable) and halvern-fee-<version>.msi,
# both at the top of the build folder. Included at the top, beside the Linux packaging, once
# ui/win32/ has made the program.
set_target_properties(halvern-fee PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
target_link_options(halvern-fee PRIVATE $<$<CONFIG:Release>:-s>)
# The linker stamps the executable with the commit's time, not its own clock's.
set_target_properties(halvern-fee PROPERTIES CXX_LINKER_LAUNCHER "${HALVERN_WITH_SOURCE_DATE}")

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
# Fixed for every version to come: it is how one version finds the one it replaces.
set(HALVERN_UPGRADE_CODE "20BCA477-1482-4187-AB9E-889B860A9ACC")
find_program(MSIBUILD msibuild REQUIRED)
find_program(MSIINFO msiinfo REQUIRED)
find_program(FAKETIME faketime REQUIRED)
string(REPLACE "," "." file_version "${HALVERN_NUMERIC_VERSION}")

# halvern_add_msi(<target> <msi> <product version> [<note>]): the installer of this build's
# program as that version (packaging/BuildMsi.cmake). The note, if any, ends its comments.
function(halvern_add_msi target msi version)
  set(HALVERN_PRODUCT_VERSION ${version})
  set(HALVERN_MSI_NOTE "${ARGN}")
  # Left for BuildMsi.cmake to fill in, from the contents.
  set(HALVERN_PRODUCT_CODE "@HALVERN_PRODUCT_CODE@")
  set(wxs ${PROJECT_BINARY_DIR}/${target}.wxs)
  configure_file(${CMAKE_CURRENT_FUNCTION_LIST_DIR}/halvern-fee.wxs.in ${wxs} @ONLY)
  set(packed $<TARGET_FILE:halvern-fee> ${notices} ${PROJECT_SOURCE_DIR}/assets/halvern.ico)
  string(JOIN "|" packed_list ${packed})
  add_custom_command(OUTPUT ${msi}
    COMMAND ${CMAKE_COMMAND} -DWIXL=${WIXL} -DMSIBUILD=${MSIBUILD} -DMSIINFO=${MSIINFO}
            -DFAKETIME=${FAKETIME} -DWXS=${wxs} -DFILES=${packed_list}
            -DSTAGE=${PROJECT_BINARY_DIR}/msi/${target} -DMSI=${msi}
            -DEPOCH=${HALVERN_SOURCE_DATE_EPOCH} -DVERSION=${version} -DFILE_VERSION=${file_version}
            -DUPGRADE_CODE=${HALVERN_UPGRADE_CODE}
            -P ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/BuildMsi.cmake
    DEPENDS halvern-fee ${packed} ${wxs} ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/BuildMsi.cmake
            ${CMAKE_CURRENT_FUNCTION_LIST_FILE}
    COMMENT "Building the Windows installer for version ${version} with wixl"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${msi})
endfunction()

set(HALVERN_MSI ${PROJECT_BINARY_DIR}/${HALVERN_EXECUTABLE}-${HALVERN_PRODUCT_VERSION}.msi)
halvern_add_msi(msi ${HALVERN_MSI} ${HALVERN_PRODUCT_VERSION})
# For the test of an upgrade: a later version, and another build of that version, whose contents
# differ (its note), and so its product code.
set(HALVERN_LATER_MSI ${PROJECT_BINARY_DIR}/tests/${HALVERN_EXECUTABLE}-later.msi)
halvern_add_msi(later-msi ${HALVERN_LATER_MSI} 1.99)
set(HALVERN_REBUILT_MSI ${PROJECT_BINARY_DIR}/tests/${HALVERN_EXECUTABLE}-later-rebuilt.msi)
halvern_add_msi(rebuilt-msi ${HALVERN_REBUILT_MSI} 1.99 " (rebuilt)")

# The Windows Package Manager's manifests for the installer, in build/windows/winget/: what a
# release submits to its community repository, so that winget upgrade brings it. The installer
# is published at HALVERN_RELEASE_URL.
set(HALVERN_RELEASE_URL "https://www.hfc.example/download" CACHE STRING
  "Where a release's downloads are published, for the winget manifests")
set(HALVERN_WINGET ${PROJECT_BINARY_DIR}/winget)
set(HALVERN_WINGET_ID "HFC.HalvernFeeCalculator")
add_custom_command(OUTPUT ${HALVERN_WINGET}/written
  COMMAND ${CMAKE_COMMAND} -DMSI=${HALVERN_MSI} -DMSIINFO=${MSIINFO} -DOUT=${HALVERN_WINGET}
          -DIDENTIFIER=${HALVERN_WINGET_ID} -DVERSION=${HALVERN_PRODUCT_VERSION}
          -DURL=${HALVERN_RELEASE_URL} -DNAME=${HALVERN_DISPLAY_NAME} -DPUBLISHER=HFC
          -DPUBLISHER_URL=https://www.hfc.example/ -DLICENSE=Freeware -DSUMMARY=${HALVERN_SUMMARY}
          -P ${CMAKE_CURRENT_LIST_DIR}/WingetManifests.cmake
  COMMAND ${CMAKE_COMMAND} -E touch ${HALVERN_WINGET}/written
  DEPENDS ${HALVERN_MSI} msi ${CMAKE_CURRENT_LIST_DIR}/WingetManifests.cmake
  COMMENT "Writing the winget manifests of the installer"
  VERBATIM)
add_custom_target(winget ALL DEPENDS ${HALVERN_WINGET}/written)
