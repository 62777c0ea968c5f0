# Helpers of the packaging checks: run a program and hold its output, fail with a reason.

function(fail)
  string(JOIN "" _msg ${ARGN})
  message(FATAL_ERROR "${_msg}")
endfunction()

# run(NAME cmd...): NAME_out, NAME_err and NAME_rc in the caller's scope.
function(run name)
  execute_process(COMMAND ${ARGN} OUTPUT_VARIABLE _out ERROR_VARIABLE _err RESULT_VARIABLE _rc
                  TIMEOUT 60)
  set(${name}_out "${_out}" PARENT_SCOPE)
  set(${name}_err "${_err}" PARENT_SCOPE)
  set(${name}_rc "${_rc}" PARENT_SCOPE)
endfunction()

function(expect_contains what text needle)
  string(FIND "${text}" "${needle}" _at)
  if(_at EQUAL -1)
    fail("${what} does not contain \"${needle}\":\n${text}")
  endif()
endfunction()
