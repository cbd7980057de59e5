# What lets anyone rebuild a download and get the same bytes: one time in every artifact, the
# commit's, and no trace of the folder, user, umask, locale or clock of the build.
#
# HALVERN_SOURCE_DATE_EPOCH is SOURCE_DATE_EPOCH when the builder sets it (as Debian's build tools
# do), else the commit's time, else the release date in the changelog (a tree without git).
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(HALVERN_SOURCE_DATE_EPOCH $ENV{SOURCE_DATE_EPOCH})
else()
  find_package(Git QUIET)
  if(GIT_FOUND)
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} log -1 --format=%ct
      OUTPUT_VARIABLE HALVERN_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE
      RESULT_VARIABLE git_status ERROR_QUIET)
    # A new commit configures again, so its time reaches every artifact that carries it.
    execute_process(COMMAND ${GIT_EXECUTABLE} -C ${PROJECT_SOURCE_DIR} rev-parse --absolute-git-dir
      OUTPUT_VARIABLE git_dir OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
    if(EXISTS "${git_dir}/logs/HEAD")
      set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS "${git_dir}/logs/HEAD")
    endif()
  endif()
  if(NOT HALVERN_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
    file(STRINGS ${PROJECT_SOURCE_DIR}/packaging/changelog trailer REGEX "^ -- " LIMIT_COUNT 1)
    string(REGEX REPLACE "^.*>  " "" released "${trailer}")
    execute_process(COMMAND date -u -d "${released}" +%s
      OUTPUT_VARIABLE HALVERN_SOURCE_DATE_EPOCH OUTPUT_STRIP_TRAILING_WHITESPACE)
  endif()
endif()
if(NOT HALVERN_SOURCE_DATE_EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "No time for the build's artifacts: set SOURCE_DATE_EPOCH")
endif()

# A command prefix that hands a tool the commit's time. Put in the command itself, not the
# build's environment, so that a new commit runs the tool again.
set(HALVERN_WITH_SOURCE_DATE ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=${HALVERN_SOURCE_DATE_EPOCH})

# Debug information and __FILE__ name the sources from the project's top, wherever it was checked
# out; every preset builds inside it, so the build folder is named the same way.
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}/=)
endif()

# Folders that `cmake --install` and the packages make are readable by everyone, whatever the
# umask of whoever builds or installs.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
