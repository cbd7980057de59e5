# Gathers the web site: the module, the page's files and assets, the app manifest, and the
# service worker with the list of files it keeps offline and a cache name that changes with them.
#   cmake -DSITE= -DCOPIED=<files> -DMODULE=<path without .js/.wasm> -DMANIFEST= -DWORKER=
#         -DVERSION= -P GatherSite.cmake
foreach(file ${COPIED})
  get_filename_component(name ${file} NAME)
  if(name MATCHES "^halvern-[0-9]+\\.png$")
    file(COPY_FILE ${file} ${SITE}/icons/${name} ONLY_IF_DIFFERENT)
  else()
    file(COPY_FILE ${file} ${SITE}/${name} ONLY_IF_DIFFERENT)
  endif()
endforeach()
file(COPY_FILE ${MODULE}.js ${SITE}/halvern.js ONLY_IF_DIFFERENT)
file(COPY_FILE ${MODULE}.wasm ${SITE}/halvern.wasm ONLY_IF_DIFFERENT)
file(COPY_FILE ${MANIFEST} ${SITE}/manifest.webmanifest ONLY_IF_DIFFERENT)

# What the page loads at a density of 1, as the page asks for it, with each file's SHA-256 for
# the worker to check, and one hash over every file of the site for its cache's name. The page
# itself is kept as its folder, './'.
file(GLOB_RECURSE files RELATIVE ${SITE} ${SITE}/*)
list(REMOVE_ITEM files sw.js)
list(SORT files)
set(contents "")
set(list "")
foreach(file ${files})
  file(SHA256 ${SITE}/${file} hash)
  string(APPEND contents "${file} ${hash}\n")
  if(file STREQUAL "index.html")
    string(APPEND list "\n  './': '${hash}',")
  elseif(NOT file MATCHES "^icons/|@2x")
    string(APPEND list "\n  './${file}': '${hash}',")
  endif()
endforeach()
string(SHA256 HALVERN_SITE_HASH "${contents}")
string(SUBSTRING ${HALVERN_SITE_HASH} 0 12 HALVERN_SITE_HASH)
set(HALVERN_SITE_FILES "${list}\n")
set(HALVERN_PRODUCT_VERSION ${VERSION})
configure_file(${WORKER} ${SITE}/sw.js @ONLY)

# The site goes to a host as it is: readable by everyone, whatever the umask it was built under.
file(CHMOD_RECURSE ${SITE}
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
  DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ
                        WORLD_EXECUTE)
