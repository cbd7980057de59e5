# Run by cpack after it has made the .deb: packs the same files again so that the same commit
# gives the same bytes. CPack takes the archives' times from the clock, each entry's from its
# file, each folder's mode from the builder's umask, and lists the checksums in the order the
# file system gives. dpkg-deb packs them again owned by root, sorted by name, with the commit's
# time (SOURCE_DATE_EPOCH) throughout.
foreach(deb ${CPACK_PACKAGE_FILES})
  set(tree ${deb}.tree)
  file(REMOVE_RECURSE ${tree})
  execute_process(COMMAND dpkg-deb --raw-extract ${deb} ${tree} COMMAND_ERROR_IS_FATAL ANY)

  file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${tree} ${tree}/*)
  list(FILTER files EXCLUDE REGEX "^DEBIAN/")
  list(SORT files)
  set(md5sums "")
  foreach(file ${files})
    file(MD5 ${tree}/${file} hash)
    string(APPEND md5sums "${hash}  ${file}\n")
  endforeach()
  file(WRITE ${tree}/DEBIAN/md5sums "${md5sums}")

  # Folders and programs rwxr-xr-x, every other file rw-r--r--.
  execute_process(COMMAND chmod -R u=rwX,go=rX ${tree} COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND find ${tree} -exec touch -h -d @${CPACK_HALVERN_SOURCE_DATE_EPOCH} {} +
    COMMAND_ERROR_IS_FATAL ANY)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${CPACK_HALVERN_SOURCE_DATE_EPOCH} LC_ALL=C
            dpkg-deb --root-owner-group -Zgzip -z9 --build ${tree} ${deb}
    OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  file(REMOVE_RECURSE ${tree})
endforeach()
