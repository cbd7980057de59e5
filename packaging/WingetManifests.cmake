# Writes the Windows Package Manager's manifests for one built installer, in the folder layout of
# its community repository (manifests/<letter>/<publisher>/<name>/<version>/): the version, the
# installer and the default locale's files. The installer's SHA-256, product and upgrade codes
# are read from the .msi itself, so the manifests name exactly the bytes the build made.
#   cmake -DMSI= -DMSIINFO= -DOUT= -DIDENTIFIER= -DVERSION= -DURL= -DNAME=
#         -DPUBLISHER= -DPUBLISHER_URL= -DLICENSE= -DSUMMARY= -P WingetManifests.cmake
cmake_minimum_required(VERSION 3.25)
set(manifest_version 1.6.0)
# Windows 10, version 1607: what the installer's launch condition asks for.
set(minimum_os 10.0.14393.0)

file(SHA256 ${MSI} sha256)
string(TOUPPER ${sha256} sha256)
execute_process(COMMAND ${MSIINFO} export ${MSI} Property OUTPUT_VARIABLE properties
  COMMAND_ERROR_IS_FATAL ANY)
foreach(code ProductCode UpgradeCode)
  if(NOT properties MATCHES "\n${code}\t({[0-9A-F-]+})")
    message(FATAL_ERROR "${MSI} names no ${code}")
  endif()
  set(${code} ${CMAKE_MATCH_1})
endforeach()
get_filename_component(msi_name ${MSI} NAME)

string(REPLACE "." ";" parts ${IDENTIFIER})
list(GET parts 0 publisher_part)
list(GET parts 1 name_part)
string(SUBSTRING ${publisher_part} 0 1 letter)
string(TOLOWER ${letter} letter)
set(folder ${OUT}/manifests/${letter}/${publisher_part}/${name_part}/${VERSION})
file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${folder})

set(header "# Written by the ${NAME} build for the Windows Package Manager.\n")
set(common "PackageIdentifier: ${IDENTIFIER}\nPackageVersion: \"${VERSION}\"\n")
set(footer "ManifestVersion: ${manifest_version}\n")

file(WRITE ${folder}/${IDENTIFIER}.yaml "${header}${common}\
DefaultLocale: en-US
ManifestType: version
${footer}")

file(WRITE ${folder}/${IDENTIFIER}.installer.yaml "${header}${common}\
MinimumOSVersion: ${minimum_os}
InstallerType: msi
Scope: machine
InstallModes:
- interactive
- silent
- silentWithProgress
UpgradeBehavior: install
ProductCode: \"${ProductCode}\"
AppsAndFeaturesEntries:
- DisplayName: ${NAME}
  Publisher: ${PUBLISHER}
  DisplayVersion: \"${VERSION}\"
  ProductCode: \"${ProductCode}\"
  UpgradeCode: \"${UpgradeCode}\"
Installers:
- Architecture: x64
  InstallerUrl: ${URL}/${msi_name}
  InstallerSha256: ${sha256}
ManifestType: installer
${footer}")

file(WRITE ${folder}/${IDENTIFIER}.locale.en-US.yaml "${header}${common}\
PackageLocale: en-US
Publisher: ${PUBLISHER}
PublisherUrl: ${PUBLISHER_URL}
PackageName: ${NAME}
PackageUrl: ${PUBLISHER_URL}
License: ${LICENSE}
ShortDescription: ${SUMMARY}
ManifestType: defaultLocale
${footer}")
