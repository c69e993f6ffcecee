# Windows test programs run under Wine (CMAKE_CROSSCOMPILING_EMULATOR), with
# a Wine prefix of the build's own. Each program is one CTest test: starting
# Wine once per listed test case would cost more than the tests themselves.
set(PELLIX_WINE_ENVIRONMENT "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix" "WINEDEBUG=-all")

function(gtest_discover_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "DISCOVERY_TIMEOUT" "PROPERTIES")
  add_test(NAME ${target} COMMAND ${target})
  set_tests_properties(${target} PROPERTIES ENVIRONMENT "${PELLIX_WINE_ENVIRONMENT}" TIMEOUT 120 ${arg_PROPERTIES})
  # After the caller's properties: a tier label given there adds to this one.
  set_property(TEST ${target} APPEND PROPERTY LABELS windows)
endfunction()
