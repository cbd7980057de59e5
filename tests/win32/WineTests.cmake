# Windows tests run under Wine, each in a Wine prefix of the build's own: "null" uses Wine's
# null graphics driver (windows without a display, for the window's tests in the process), "x11"
# the X11 driver for a program driven under Xvfb, "installer" the null driver again for the
# installer's test alone, which installs, upgrades and removes the program in its prefix's
# registry and Program Files, and "dense" the null driver on a screen of 144 dpi (150 %, as many
# laptops are set). A fixture makes each prefix, and a last test removes them: together they
# hold some 700 MB that need not stay.
set(HALVERN_WINE_PREFIXES ${CMAKE_BINARY_DIR}/wine)
set(HALVERN_WINE_RUN ${PROJECT_SOURCE_DIR}/tools/wine-run.sh)

foreach(prefix "null;null" "x11;x11" "installer;null" "dense;null;144")
  list(POP_FRONT prefix name)
  add_test(NAME wine_prefix_${name}
    COMMAND ${HALVERN_WINE_RUN} --prepare ${HALVERN_WINE_PREFIXES}/${name} ${prefix})
  set_tests_properties(wine_prefix_${name} PROPERTIES FIXTURES_SETUP wine_${name}
    SKIP_RETURN_CODE 77 TIMEOUT 180)
endforeach()
add_test(NAME wine_prefixes_removed COMMAND ${HALVERN_WINE_RUN} --remove ${HALVERN_WINE_PREFIXES})
set_tests_properties(wine_prefixes_removed PROPERTIES
  FIXTURES_CLEANUP "wine_null;wine_x11;wine_installer;wine_dense")

# halvern_add_wine_test(<name> <windows executable> [SEEN] [PREFIX <prefix>]): runs it on the
# null driver, in the "null" prefix unless another is named; SEEN: its dumps of what users see are
# compared with the table (HALVERN_COMPARE_SEEN).
function(halvern_add_wine_test name executable)
  cmake_parse_arguments(PARSE_ARGV 2 arg "SEEN" "PREFIX" "")
  set(compare)
  if(arg_SEEN)
    set(compare ${HALVERN_COMPARE_SEEN})
  endif()
  if(NOT arg_PREFIX)
    set(arg_PREFIX null)
  endif()
  add_test(NAME ${name}
    COMMAND ${compare} ${HALVERN_WINE_RUN} ${HALVERN_WINE_PREFIXES}/${arg_PREFIX} ${executable})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_${arg_PREFIX}
    SKIP_RETURN_CODE 77 TIMEOUT 300)
endfunction()
