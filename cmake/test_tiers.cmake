# The suite in tiers, one CTest label each: unit (seconds, for day-to-day
# work), exhaustive (every value of an input space), e2e (the built plug-in
# through a host, the tool as a program), install (what ships) and gst. Each
# tier also has a build target, pellix_tier_<label>, that builds just the
# programs its tests run:
#   cmake --build <dir> --target pellix_tier_unit && ctest --test-dir <dir> -L unit

# Makes pellix_tier_<tier> build <target> (and creates it on first use).
function(pellix_tier_needs tier)
  if(NOT TARGET pellix_tier_${tier})
    add_custom_target(pellix_tier_${tier})
  endif()
  add_dependencies(pellix_tier_${tier} ${ARGN})
endfunction()

# gtest_discover_tests for <target> with every test it lists in <tier>.
# Options: DISCOVERY_TIMEOUT <s>, TIMEOUT <s> (per test).
function(pellix_discover_tests target tier)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "DISCOVERY_TIMEOUT;TIMEOUT" "")
  set(options)
  if(arg_DISCOVERY_TIMEOUT)
    list(APPEND options DISCOVERY_TIMEOUT ${arg_DISCOVERY_TIMEOUT})
  endif()
  set(properties LABELS ${tier})
  if(arg_TIMEOUT)
    list(APPEND properties TIMEOUT ${arg_TIMEOUT})
  endif()
  gtest_discover_tests(${target} ${options} PROPERTIES ${properties})
  pellix_tier_needs(${tier} ${target})
endfunction()

# For tests added with add_test: puts them in <tier>; the programs they run
# are named with pellix_tier_needs.
function(pellix_test_tier tier)
  set_property(TEST ${ARGN} APPEND PROPERTY LABELS ${tier})
endfunction()
