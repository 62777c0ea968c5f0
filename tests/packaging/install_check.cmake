# Installs into a fresh prefix, then checks the installed files and that the installed program
# runs: --version, and a figure written through the installed module. Without its module the
# program says what is missing.
include(${CMAKE_CURRENT_LIST_DIR}/check_util.cmake)

file(REMOVE_RECURSE ${PREFIX})
# Naming the component keeps the build's install_manifest.txt (a real install's record) intact.
run(install ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} --component Unspecified)
if(NOT install_rc EQUAL 0)
  fail("cmake --install failed (${install_rc}):\n${install_out}${install_err}")
endif()

set(exe ${PREFIX}/${BINDIR}/tesvane)
foreach(f ${exe} ${PREFIX}/${LIBDIR}/tesvane/tesvane-qt.so
        ${PREFIX}/${DATADIR}/applications/tesvane.desktop
        ${PREFIX}/${DATADIR}/icons/hicolor/scalable/apps/tesvane.svg
        ${PREFIX}/${MANDIR}/man1/tesvane.1.gz)
  if(NOT EXISTS ${f})
    fail("not installed: ${f}")
  endif()
endforeach()
file(READ ${PREFIX}/${DATADIR}/applications/tesvane.desktop desktop)
foreach(line "[Desktop Entry]" "\nType=Application\n" "\nExec=tesvane\n" "\nIcon=tesvane\n"
        "\nX-License=MIT\n")
  expect_contains("tesvane.desktop" "${desktop}" "${line}")
endforeach()
file(READ ${PREFIX}/${DATADIR}/metainfo/tesvane.metainfo.xml metainfo)
expect_contains("tesvane.metainfo.xml" "${metainfo}" "<project_license>MIT</project_license>")
file(READ ${PREFIX}/${DATADIR}/icons/hicolor/scalable/apps/tesvane.svg icon)
expect_contains("tesvane.svg" "${icon}" "<svg ")

run(version ${exe} --version)
if(NOT version_rc EQUAL 0 OR NOT version_out MATCHES "^tesvane ${VERSION}\n")
  fail("installed tesvane --version: status ${version_rc}:\n${version_out}${version_err}")
endif()

set(analysis run --g1b1 ${EXAMPLES}/groupA_b1.txt --g1b2 ${EXAMPLES}/groupA_b2.txt
    --g2b1 ${EXAMPLES}/groupB_b1.txt --g2b2 ${EXAMPLES}/groupB_b2.txt --show 1)
run(figure ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ${exe} ${analysis}
    --out ${PREFIX}/axis.svg)
if(NOT figure_rc EQUAL 0 OR NOT EXISTS ${PREFIX}/axis.svg)
  fail("installed tesvane run --show 1 --out axis.svg: status ${figure_rc}:\n${figure_err}")
endif()
file(READ ${PREFIX}/axis.svg svg)
expect_contains("the figure" "${svg}" "<svg")
# --quiet leaves nothing but errors on standard error, Qt's notices about its set-up included
# (without a runtime folder Qt would say it picked one).
run(quiet ${CMAKE_COMMAND} -E env --unset=XDG_RUNTIME_DIR QT_QPA_PLATFORM=offscreen ${exe}
    ${analysis} --quiet --out ${PREFIX}/axis.png)
if(NOT quiet_rc EQUAL 0 OR NOT quiet_err STREQUAL "")
  fail("installed tesvane run --quiet --out axis.png: status ${quiet_rc}, standard error:\n"
       "${quiet_err}")
endif()

# The executable alone, its module left behind (outside the prefix, where it would find it).
file(REMOVE_RECURSE ${PREFIX}-alone)
file(COPY ${exe} DESTINATION ${PREFIX}-alone/bin)
run(alone ${PREFIX}-alone/bin/tesvane ${analysis} --out ${PREFIX}-alone/alone.svg)
if(alone_rc EQUAL 0 OR EXISTS ${PREFIX}-alone/alone.svg)
  fail("tesvane without its module: status ${alone_rc}")
endif()
expect_contains("tesvane without its module" "${alone_err}" "tesvane-qt.so, which is missing")
