# Lets any test folder use the update-service stand-in, which the fixture of
# tests/standins/updateservice runs on 127.0.0.1:${ORVEK_SERVICE_PORT} while ctest runs.
# Included by tests/CMakeLists.txt before the test folders are added.

find_program(PYTHON3 python3 REQUIRED)

# The port must be known when the tests' environment is set, so it is fixed
# here; the fixture's setup test fails with a clear message if it is taken.
if(NOT ORVEK_SERVICE_PORT)
  execute_process(
    COMMAND ${PYTHON3} -c "import socket; s = socket.socket(); s.bind(('127.0.0.1', 0)); print(s.getsockname()[1])"
    OUTPUT_VARIABLE orvek_free_port OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  set(ORVEK_SERVICE_PORT ${orvek_free_port} CACHE STRING
      "Port on 127.0.0.1 where ctest runs the update-service stand-in")
endif()

set(ORVEK_UPDATE_SERVICE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/updateservice.py)
set(ORVEK_UPDATE_SERVICE_STATE_DIR ${CMAKE_BINARY_DIR}/updateservice)
set(ORVEK_UPDATE_SERVICE_PROXY http://127.0.0.1:${ORVEK_SERVICE_PORT})

# For gtest_discover_tests (orvek_add_test's PROPERTIES): every value here is a
# single item, because discovery flattens list values; the control client
# takes the port from http_proxy. The stand-in serves one test at a time:
# every test that uses it runs under Wine and holds the Wine session's lock.
set(ORVEK_UPDATE_SERVICE_PROPERTIES
    FIXTURES_REQUIRED updateservice
    RESOURCE_LOCK wine
    ENVIRONMENT_MODIFICATION http_proxy=set:${ORVEK_UPDATE_SERVICE_PROXY})

# orvek_use_update_service(<test>...) gives tests made with add_test in the
# calling folder the running stand-in, one test at a time, and its address.
function(orvek_use_update_service)
  set_property(TEST ${ARGN} APPEND PROPERTY FIXTURES_REQUIRED updateservice)
  set_property(TEST ${ARGN} APPEND PROPERTY RESOURCE_LOCK wine)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT
               http_proxy=${ORVEK_UPDATE_SERVICE_PROXY} ORVEK_SERVICE_PORT=${ORVEK_SERVICE_PORT})
endfunction()
