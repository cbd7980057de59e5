# The program's version record, written once. The Windows version resource, the ELF package note,
# the application's own name and version, the desktop files and the Debian package all take
# their values from here.
set(HALVERN_PRODUCT_NAME "Project1")
set(HALVERN_FILE_VERSION "1.00")
set(HALVERN_PRODUCT_VERSION "1.00")
set(HALVERN_NUMERIC_VERSION "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},${PROJECT_VERSION_TWEAK}")
set(HALVERN_INTERNAL_NAME "HalvernFee 1.1")
set(HALVERN_ORIGINAL_FILENAME "HalvernFee 1.1.exe")
set(HALVERN_LANGUAGE "0409")  # US English
set(HALVERN_CODE_PAGE "04B0") # Unicode

# How the program is known on a desktop.
set(HALVERN_APP_ID "example.hfc.HalvernFee")
set(HALVERN_DISPLAY_NAME "Halvern Fee Calculator")
set(HALVERN_EXECUTABLE "halvern-fee")
set(HALVERN_SUMMARY "Transfer fee of a payment service priced in grams of gold")

# halvern_configure_version_resource(<output.rc>): the Windows VERSIONINFO and icon resource.
function(halvern_configure_version_resource output)
  set(HALVERN_ICON_FILE ${PROJECT_SOURCE_DIR}/assets/halvern.ico)
  configure_file(${PROJECT_SOURCE_DIR}/packaging/version.rc.in ${output} @ONLY)
endfunction()
