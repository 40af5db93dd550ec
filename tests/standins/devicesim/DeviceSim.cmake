# Lets any test folder use the device stand-in. Included by tests/CMakeLists.txt
# before the test folders are added.

# For gtest_discover_tests (orvek_add_test's PROPERTIES), e.g.
#   orvek_add_test(WindowTest SOURCES ... LIBS devicesim_control PROPERTIES ${ORVEK_DEVICE_SIM_PROPERTIES})
# It sets ENVIRONMENT, not ENVIRONMENT_MODIFICATION, so that it combines with
# ORVEK_UPDATE_SERVICE_PROPERTIES; each test starts a simulator of its own
# (CDeviceSimulator), so there is no fixture and no lock.
set(ORVEK_DEVICE_SIM_PROPERTIES ENVIRONMENT WINEDLLOVERRIDES=setupapi=n)

# orvek_use_device_simulator(<test>...): the same for tests made with add_test.
function(orvek_use_device_simulator)
  set_property(TEST ${ARGN} APPEND PROPERTY ENVIRONMENT WINEDLLOVERRIDES=setupapi=n)
endfunction()
