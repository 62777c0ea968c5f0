# --help and --version on standard output with status 0; every option of `run` described in
# the help pages and in the man page; a wrong command line ends with status 2.
include(${CMAKE_CURRENT_LIST_DIR}/check_util.cmake)

set(run_options --g1b1 --g1b2 --g2b1 --g2b2 --block2 --homology --boot --alpha --seed --threads
    --json --permute --show --axis --deformat --exaggeration --range --out)

run(run_help ${TESVANE} run --help)
run(all_help ${TESVANE} --help)
run(script_help ${TESVANE} script --help)
foreach(r run_help all_help script_help)
  if(NOT ${r}_rc EQUAL 0 OR NOT "${${r}_err}" STREQUAL "")
    fail("${r}: status ${${r}_rc}, standard error: ${${r}_err}")
  endif()
endforeach()
file(READ ${MAN_PAGE} man)
string(REPLACE "\\-" "-" man "${man}")
foreach(o ${run_options})
  # An option's line: its name, then its description after blanks.
  if(NOT run_help_out MATCHES "\n +${o} [^\n]*[A-Za-z]")
    fail("tesvane run --help does not describe ${o}:\n${run_help_out}")
  endif()
  expect_contains("tesvane --help" "${all_help_out}" "${o} ")
  expect_contains("tesvane.1" "${man}" "${o}\\fR")
endforeach()
# Each subcommand is a heading of its own line, its options below it.
foreach(word "\nrun\n" "\nscript\n" "FILE" "--version" "--help" "Exit status")
  expect_contains("tesvane --help" "${all_help_out}" "${word}")
endforeach()
expect_contains("tesvane script --help" "${script_help_out}" "FILE")
expect_contains("tesvane.1" "${man}" ".SH \"tesvane script\"")

run(version ${TESVANE} --version)
if(NOT version_rc EQUAL 0 OR NOT version_out MATCHES "^tesvane ${VERSION}\nCopyright \\(C\\) [0-9]+ ")
  fail("tesvane --version: status ${version_rc}:\n${version_out}")
endif()
expect_contains("tesvane --version" "${version_out}" "MIT licence")
# run --help numbers every plot and deformation type.
foreach(type "25  PLS scores, both groups" "9  Contours of |y| displacement" "Plot types"
        "Deformation types")
  expect_contains("tesvane run --help" "${run_help_out}" "${type}")
endforeach()
# Options the run cannot use are refused before anything is computed, naming the option.
foreach(bad "--out;f.svg" "--alpha;1.5" "--axis;0" "--range;-1" "--exaggeration;x"
        "--quiet;--verbose")
  run(refused ${TESVANE} run --g1b1 a --g1b2 b --g2b1 c --g2b2 d ${bad})
  list(GET bad 0 option)
  if(NOT refused_rc EQUAL 2 OR NOT refused_err MATCHES "${option}")
    fail("tesvane run ${bad}: status ${refused_rc}, standard error: ${refused_err}")
  endif()
endforeach()

run(wrong ${TESVANE} run --g1b1)
if(NOT wrong_rc EQUAL 2 OR "${wrong_err}" STREQUAL "")
  fail("a wrong command line: status ${wrong_rc}, standard error: ${wrong_err}")
endif()
