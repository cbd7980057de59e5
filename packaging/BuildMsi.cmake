# Builds one Windows installer with wixl, the same bytes from the same contents, at build time:
#   cmake -DWIXL= -DMSIBUILD= -DMSIINFO= -DFAKETIME= -DWXS= -DFILES=<file|...> -DSTAGE= -DMSI=
#         -DEPOCH= -DVERSION= -DFILE_VERSION= -DUPGRADE_CODE= -P BuildMsi.cmake
# The product and package codes are derived from everything the installer packs: any change to
# it gives new codes (Windows Installer takes a package whose code it knows for the one it has
# seen), the same contents the same codes. Every time in it is the commit's (EPOCH).
cmake_minimum_required(VERSION 3.25)

file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE})
set(contents "")
set(staged)
string(REPLACE "|" ";" FILES "${FILES}")
foreach(file ${FILES})
  get_filename_component(name ${file} NAME)
  file(COPY_FILE ${file} ${STAGE}/${name})
  file(SHA256 ${file} hash)
  string(APPEND contents "${name} ${hash}\n")
  list(APPEND staged ${STAGE}/${name})
endforeach()
file(READ ${WXS} wxs)
string(APPEND contents "${wxs}\nFileVersion ${FILE_VERSION}\n")
string(SHA256 digest "${contents}")
string(UUID HALVERN_PRODUCT_CODE NAMESPACE ${UPGRADE_CODE} NAME "product ${digest}" TYPE SHA1 UPPER)
string(UUID package_code NAMESPACE ${UPGRADE_CODE} NAME "package ${digest}" TYPE SHA1 UPPER)
configure_file(${WXS} ${STAGE}/installer.wxs @ONLY)

# The cabinet keeps each file's time; wixl stamps the summary with its clock and honours no
# SOURCE_DATE_EPOCH, so its clock is stopped at the commit's time.
execute_process(COMMAND touch -d @${EPOCH} ${staged} COMMAND_ERROR_IS_FATAL ANY)
set(ENV{SOURCE_DATE_EPOCH} ${EPOCH})
string(TIMESTAMP commit_time "%Y-%m-%d %H:%M:%S" UTC)
file(REMOVE ${MSI})
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env TZ=UTC DONT_FAKE_MONOTONIC=1
          ${FAKETIME} -f "${commit_time}" ${WIXL} --arch x64 -o ${MSI} installer.wxs
  WORKING_DIRECTORY ${STAGE} COMMAND_ERROR_IS_FATAL ANY)
# What wixl cannot say goes into its tables after it: the program file's version, so a repair or
# an upgrade compares versions, and an upper bound on the versions it replaces that includes its
# own, so another build of one version replaces it instead of installing beside it. The bound is
# part of its row's key, which libmsi cannot update: the row is written anew, with 513 = migrate
# features + include the maximum. wixl draws the package code at random: it is set here too.
execute_process(COMMAND ${MSIBUILD} ${MSI}
  -q "UPDATE `File` SET `Version` = '${FILE_VERSION}' WHERE `File` = 'Program'"
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${MSIBUILD} ${MSI}
  -q "DELETE FROM `Upgrade` WHERE `ActionProperty` = 'WIX_UPGRADE_DETECTED'"
  -q "INSERT INTO `Upgrade` (`UpgradeCode`, `VersionMax`, `Attributes`, `ActionProperty`) VALUES ('{${UPGRADE_CODE}}', '${VERSION}', 513, 'WIX_UPGRADE_DETECTED')"
  COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${MSIINFO} suminfo ${MSI}
  OUTPUT_VARIABLE summary COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "Subject: ([^\n]*)" _ "${summary}")
set(subject "${CMAKE_MATCH_1}")
string(REGEX MATCH "Author: ([^\n]*)" _ "${summary}")
set(author "${CMAKE_MATCH_1}")
string(REGEX MATCH "Template: ([^\n]*)" _ "${summary}")
set(template "${CMAKE_MATCH_1}")
execute_process(COMMAND ${MSIBUILD} ${MSI} -s "${subject}" "${author}" "${template}"
          "{${package_code}}"
  COMMAND_ERROR_IS_FATAL ANY)
