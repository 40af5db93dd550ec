# Lets any test folder use the update-service stand-in, which the fixtures of
# tests/standins/updateservice run on 127.0.0.1:${ORVEK_SERVICE_PORT} (and
# :${ORVEK_SERVICE_PORT_2} for the second Wine session) while ctest runs.
# Included by tests/CMakeLists.txt before the test folders are added.

find_program(PYTHON3 python3 REQUIRED)

# The ports must be known when the tests' environment is set, so they are
# fixed here, one for the stand-in of each Wine session (tools/test.sh runs
# two); the fixture's setup test fails with a clear message if one is taken.
if(NOT ORVEK_SERVICE_PORT OR NOT ORVEK_SERVICE_PORT_2)
  execute_process(
    COMMAND ${PYTHON3} -c "import socket; s = [socket.socket() for _ in '12']; [x.bind(('127.0.0.1', 0)) for x in s]; print(';'.join(str(x.getsockname()[1]) for x in s))"
    OUTPUT_VARIABLE orvek_free_ports OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  list(GET orvek_free_ports 0 orvek_free_port)
  set(ORVEK_SERVICE_PORT ${orvek_free_port} CACHE STRING
      "Port on 127.0.0.1 where ctest runs the first Wine session's update-service stand-in" FORCE)
  list(GET orvek_free_ports 1 orvek_free_port)
  set(ORVEK_SERVICE_PORT_2 ${orvek_free_port} CACHE STRING
      "Port on 127.0.0.1 where ctest runs the second Wine session's update-service stand-in" FORCE)
endif()

set(ORVEK_UPDATE_SERVICE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/updateservice.py)
set(ORVEK_UPDATE_SERVICE_STATE_DIR ${CMAKE_BINARY_DIR}/updateservice)
set(ORVEK_UPDATE_SERVICE_PROXY http://127.0.0.1:${ORVEK_SERVICE_PORT})

# For orvek_register_tests' PROPERTIES: every value here is a single item,
# because discovery flattens list values; the control client takes the port
# from http_proxy. The stand-in serves one test at a time: every test that
# uses it runs under Wine and holds its session's lock.
set(ORVEK_UPDATE_SERVICE_PROPERTIES
    FIXTURES_REQUIRED updateservice
    ENVIRONMENT_MODIFICATION http_proxy=set:${ORVEK_UPDATE_SERVICE_PROXY})
# The same for tests of the second Wine session, whose stand-in is another.
set(ORVEK_UPDATE_SERVICE_2_PROPERTIES
    FIXTURES_REQUIRED updateservice-2
    ENVIRONMENT_MODIFICATION http_proxy=set:http://127.0.0.1:${ORVEK_SERVICE_PORT_2})
