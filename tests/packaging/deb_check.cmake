# Builds the Debian package from the build folder, checks its name, its dependencies and what
# lintian says of it, then unpacks it into a throwaway root and runs the program from there.
include(${CMAKE_CURRENT_LIST_DIR}/check_util.cmake)

file(REMOVE_RECURSE ${OUT})
file(MAKE_DIRECTORY ${OUT})
run(cpack ${CPACK} -G DEB --config ${BUILD_DIR}/CPackConfig.cmake -B ${OUT})
set(deb ${OUT}/tesvane_${VERSION}_amd64.deb)
if(NOT cpack_rc EQUAL 0 OR NOT EXISTS ${deb})
  fail("cpack -G DEB did not make ${deb} (${cpack_rc}):\n${cpack_out}${cpack_err}")
endif()

run(info dpkg-deb --field ${deb} Depends)
foreach(lib libqt6widgets6 libqt6svg6 libcairo2 libc6)
  expect_contains("the package's Depends" "${info_out}" "${lib}")
endforeach()

find_program(LINTIAN lintian)
if(LINTIAN)
  run(lint ${LINTIAN} --tag-display-limit 0 ${deb})
  if(lint_out MATCHES "(^|\n)E: ")
    fail("lintian reports errors:\n${lint_out}")
  endif()
else()
  message(STATUS "lintian is not installed: its check is left out")
endif()

set(root ${OUT}/root)
run(unpack dpkg-deb -x ${deb} ${root})
if(NOT unpack_rc EQUAL 0)
  fail("dpkg-deb -x failed:\n${unpack_err}")
endif()
foreach(f usr/bin/tesvane usr/share/applications/tesvane.desktop usr/share/doc/tesvane/copyright
        usr/share/man/man1/tesvane.1.gz usr/share/icons/hicolor/scalable/apps/tesvane.svg)
  if(NOT EXISTS ${root}/${f})
    fail("not in the package: /${f}")
  endif()
endforeach()

run(version ${root}/usr/bin/tesvane --version)
if(NOT version_rc EQUAL 0 OR NOT version_out MATCHES "^tesvane ${VERSION}\n")
  fail("packaged tesvane --version: status ${version_rc}:\n${version_out}${version_err}")
endif()
set(analysis run --g1b1 ${EXAMPLES}/groupA_b1.txt --g1b2 ${EXAMPLES}/groupA_b2.txt
    --g2b1 ${EXAMPLES}/groupB_b1.txt --g2b2 ${EXAMPLES}/groupB_b2.txt --show 1 --out ${OUT}/axis.svg)
run(analysis ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${root}/usr/bin/tesvane ${analysis})
if(NOT analysis_rc EQUAL 0 OR NOT analysis_out MATCHES "Angles between SVD axis"
   OR NOT EXISTS ${OUT}/axis.svg)
  fail("packaged tesvane run: status ${analysis_rc}:\n${analysis_out}${analysis_err}")
endif()
