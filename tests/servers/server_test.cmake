# tavrin_add_server_test(name sources...): a test binary like tavrin_add_test,
# run beside test servers of its own (with_http_server.sh, plain and HTTPS);
# the binary finds them through CTestServer.
set(TAVRIN_SERVERS_DIR ${CMAKE_CURRENT_LIST_DIR})

function(tavrin_add_server_test name)
  add_executable(${name} ${ARGN})
  target_link_libraries(${name} PRIVATE tavrin_test_support GTest::gtest_main)
  add_test(NAME ${name}
           COMMAND bash ${TAVRIN_SERVERS_DIR}/with_http_server.sh --tls --
                   ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:${name}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 300)
endfunction()
