# The program's version record, written once. The Windows version resource, the ELF package note,
# the application's own name and version, the desktop files, the manual page and the packages
# all take their values from here. The version itself is the project's (CMakeLists.txt), as
# people read it: 1.0.0.0 is 1.00.
set(HALVERN_PRODUCT_NAME "Project1")
string(LENGTH "${PROJECT_VERSION_MINOR}" minor_digits)
if(minor_digits EQUAL 1)
  set(HALVERN_PRODUCT_VERSION "${PROJECT_VERSION_MAJOR}.0${PROJECT_VERSION_MINOR}")
else()
  set(HALVERN_PRODUCT_VERSION "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}")
endif()
set(HALVERN_FILE_VERSION "${HALVERN_PRODUCT_VERSION}")
set(HALVERN_NUMERIC_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${PROJECT_VERSION_TWEAK}")
set(HALVERN_INTERNAL_NAME "HalvernFee 1.1")
set(HALVERN_ORIGINAL_FILENAME "HalvernFee 1.1.exe")
set(HALVERN_LANGUAGE "0409")  # US English
set(HALVERN_CODE_PAGE "04B0") # Unicode

# How the program is known on a desktop: by its window's caption, as the control table gives it.
set(HALVERN_APP_ID "example.hfc.HalvernFee")
set(control_table ${PROJECT_SOURCE_DIR}/ui/shared/ControlTable.h)
file(STRINGS ${control_table} caption REGEX "formCaption = \"[^\"]+\"")
string(REGEX REPLACE ".*formCaption = \"([^\"]+)\".*" "\\1" HALVERN_DISPLAY_NAME "${caption}")
if(NOT HALVERN_DISPLAY_NAME)
  message(FATAL_ERROR "no formCaption in ${control_table}")
endif()
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${control_table})
set(HALVERN_EXECUTABLE "halvern-fee")
set(HALVERN_SUMMARY "Transfer fee of a payment service priced in grams of gold")

# halvern_configure_version_resource(<output.rc>): the Windows VERSIONINFO and icon resource.
function(halvern_configure_version_resource output)
  set(HALVERN_ICON_FILE ${PROJECT_SOURCE_DIR}/assets/halvern.ico)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/version.rc.in ${output} @ONLY)
endfunction()
