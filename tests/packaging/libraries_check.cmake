# The executable must start without Qt and cairo (they take most of its start-up time); the
# module carries them.
include(${CMAKE_CURRENT_LIST_DIR}/check_util.cmake)

run(exe ${READELF} -d ${TESVANE})
run(module ${READELF} -d ${MODULE})
if(NOT exe_rc EQUAL 0 OR NOT module_rc EQUAL 0)
  fail("readelf failed: ${exe_err}${module_err}")
endif()
if(exe_out MATCHES "NEEDED[^\n]*\\[(libQt|libcairo)")
  fail("tesvane needs Qt or cairo at start:\n${exe_out}")
endif()
foreach(lib libQt6Widgets libcairo)
  expect_contains("the module's libraries" "${module_out}" "[${lib}")
endforeach()
