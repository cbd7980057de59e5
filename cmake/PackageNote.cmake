# halvern_add_package_note(<target>): writes the version record into the executable as an ELF
# .note.package (the freedesktop packaging-metadata note), which `readelf -n` prints. Needs GNU ld
# 2.39 or later; elsewhere the executable is simply built without it.
include(CheckLinkerFlag)
check_linker_flag(CXX "-Wl,--package-metadata={}" HALVERN_LINKER_HAS_PACKAGE_METADATA)

function(halvern_add_package_note target)
  if(NOT HALVERN_LINKER_HAS_PACKAGE_METADATA)
    message(STATUS "The linker cannot write .note.package; ${target} is built without it")
    return()
  endif()
  string(JOIN "," json
    "\"type\":\"deb\""
    "\"os\":\"debian\""
    "\"name\":\"${HALVERN_EXECUTABLE}\""
    "\"version\":\"${HALVERN_PRODUCT_VERSION}\""
    "\"ProductName\":\"${HALVERN_PRODUCT_NAME}\""
    "\"FileVersion\":\"${HALVERN_FILE_VERSION}\""
    "\"ProductVersion\":\"${HALVERN_PRODUCT_VERSION}\""
    "\"FileVersionNumber\":\"${PROJECT_VERSION}\""
    "\"ProductVersionNumber\":\"${PROJECT_VERSION}\""
    "\"InternalName\":\"${HALVERN_INTERNAL_NAME}\""
    "\"OriginalFilename\":\"${HALVERN_ORIGINAL_FILENAME}\""
    "\"Language\":\"${HALVERN_LANGUAGE}\""
    "\"CodePage\":\"${HALVERN_CODE_PAGE}\"")
  # -Xlinker hands the JSON over whole; -Wl, would split it at its commas.
  target_link_options(${target} PRIVATE -Xlinker "--package-metadata={${json}}")
endfunction()
