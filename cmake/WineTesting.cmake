# Runs the cross-compiled test programs under Wine, in a throwaway prefix inside the
# build tree. The prefix and a Big5 locale are made at configure time, before any
# test program is built or run (a fresh prefix's first start is slow and was seen to
# fail from a post-build step).
set(TARVELO_WINE_PREFIX "${CMAKE_BINARY_DIR}/wineprefix")
set(TARVELO_TEST_STATE "${CMAKE_BINARY_DIR}/test-env")
set(TARVELO_TEST_ARTIFACTS "${CMAKE_BINARY_DIR}/test-artifacts")
file(MAKE_DIRECTORY "${TARVELO_TEST_STATE}" "${TARVELO_TEST_ARTIFACTS}")

configure_file("${CMAKE_SOURCE_DIR}/scripts/wine-run.in" "${CMAKE_BINARY_DIR}/wine-run" @ONLY
               FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                WORLD_READ WORLD_EXECUTE)
set(TARVELO_WINE_RUN "${CMAKE_BINARY_DIR}/wine-run")

if(TARVELO_WINE_TESTS)
  execute_process(
    COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/make-wine-prefix.sh" "${CMAKE_BINARY_DIR}"
    RESULT_VARIABLE _prefix_result)
  if(NOT _prefix_result EQUAL 0)
    message(FATAL_ERROR "Could not prepare the test Wine prefix (${_prefix_result})")
  endif()
  set(CMAKE_CROSSCOMPILING_EMULATOR "${TARVELO_WINE_RUN}")

  # One Wine session and one Xvfb display for the whole run, started and stopped by
  # ctest fixtures. A session kept up also keeps Wine from refilling the network-card
  # keys that tests seed (it does so each time a session starts).
  add_test(NAME wine.session.start
           COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/test-session.sh" start "${CMAKE_BINARY_DIR}")
  add_test(NAME wine.session.stop
           COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/test-session.sh" stop "${CMAKE_BINARY_DIR}")
  set_tests_properties(wine.session.start PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 120)
  set_tests_properties(wine.session.stop PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 60)

  # The test modem for the connection checks (gateway 192.168.5.254, the build's primary
  # DNS server), set up only inside a private network namespace: scripts/test.sh runs
  # ctest in one. Anywhere else it refuses, and the tests that need it do not run.
  add_test(NAME network.modem.up
           COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/modem.sh" up "${TARVELO_TEST_STATE}" 192.168.5.254
                   "${TARVELO_DNS_PRIMARY}")
  add_test(NAME network.modem.down COMMAND bash "${CMAKE_SOURCE_DIR}/scripts/modem.sh" down "${TARVELO_TEST_STATE}")
  set_tests_properties(network.modem.up PROPERTIES FIXTURES_SETUP modem TIMEOUT 30)
  set_tests_properties(network.modem.down PROPERTIES FIXTURES_CLEANUP modem TIMEOUT 30)
endif()

# tarvelo_add_wine_test(NAME <name> COMMAND <target> [args...]
#                       [TIMEOUT <s>] [RESOURCE_LOCK <locks...>] [MODEM])
# Registers a test program that runs under Wine inside the shared session. Tests
# that rewrite machine-wide keys (network cards, TCP/IP) take the "machine" lock.
# MODEM: the test runs the wizard or Adapset /check, which send real packets: it needs
# the private network's modem.
function(tarvelo_add_wine_test)
  cmake_parse_arguments(ARG "MODEM" "NAME;TIMEOUT" "COMMAND;RESOURCE_LOCK" ${ARGN})
  if(NOT TARVELO_WINE_TESTS)
    return()
  endif()
  if(NOT ARG_TIMEOUT)
    set(ARG_TIMEOUT 300)
  endif()
  add_test(NAME ${ARG_NAME} COMMAND ${ARG_COMMAND} WORKING_DIRECTORY "${CMAKE_CURRENT_BINARY_DIR}")
  set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED wine_session TIMEOUT ${ARG_TIMEOUT})
  if(ARG_MODEM)
    set_tests_properties(${ARG_NAME} PROPERTIES FIXTURES_REQUIRED "wine_session;modem")
  endif()
  if(ARG_RESOURCE_LOCK)
    set_tests_properties(${ARG_NAME} PROPERTIES RESOURCE_LOCK "${ARG_RESOURCE_LOCK}")
  endif()
endfunction()
