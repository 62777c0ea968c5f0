# The layers of the README's "Architecture" table: every #include of a source file must point
# to its own layer or one beneath it. Run as `cmake -DSOURCE_DIR=... -P layers_check.cmake`.

# Alternatives are joined with "|" so that each rule stays one list element.
set(_qt_cairo "<Q[A-Za-z]*[>/]|<cairo")
set(_windows "\"platform/qt/|\"platform/render/")
# The program may draw SVG text with the Qt-free part of platform/render, not with the rest.
set(_windows_qt "\"platform/qt/|\"platform/render/qt_|\"platform/render/cairo_|\"platform/render/figure_export")
set(_upper "\"web/|\"app/|\"display/|\"figure/|\"platform/headless/|${_windows}|${_qt_cairo}")

# folder (a glob under the source folder) ; what its files must not include
set(_rules
  "platform/*.?pp|\"geometry/|\"io/|\"analysis/|${_upper}"
  "platform/figure/*.?pp|\"geometry/|\"io/|\"analysis/|${_upper}"
  "geometry/*.?pp|\"io/|\"analysis/|${_upper}"
  "io/*.?pp|\"analysis/|${_upper}"
  "analysis/*.?pp|${_upper}"
  "figure/*.?pp|\"app/|\"display/|\"platform/headless/|${_windows}|${_qt_cairo}"
  "display/*.?pp|\"app/|\"platform/headless/|${_windows}|${_qt_cairo}"
  "platform/headless/*.?pp|\"app/|\"display/|\"figure/|${_windows}|${_qt_cairo}"
  "platform/render/canvas.hpp|\"app/|\"display/|\"figure/|\"platform/headless/|\"platform/qt/|${_qt_cairo}"
  "platform/render/figure_renderer.?pp|\"app/|\"display/|\"figure/|\"platform/headless/|\"platform/qt/|${_qt_cairo}"
  "platform/render/svg_canvas.?pp|\"app/|\"display/|\"figure/|\"platform/headless/|\"platform/qt/|${_qt_cairo}"
  "app/*.?pp|\"web/|${_windows_qt}|${_qt_cairo}"
  "web/*.?pp|${_windows_qt}|${_qt_cairo}")

set(_violations "")
foreach(rule IN LISTS _rules)
  string(REPLACE "|" ";" rule "${rule}")
  list(POP_FRONT rule glob)
  file(GLOB files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${glob}")
  foreach(f IN LISTS files)
    file(STRINGS "${SOURCE_DIR}/${f}" includes REGEX "^[ \t]*#[ \t]*include")
    foreach(line IN LISTS includes)
      foreach(bad IN LISTS rule)
        if(line MATCHES "include[ \t]*${bad}")
          string(APPEND _violations "  ${f}: ${line}\n")
        endif()
      endforeach()
    endforeach()
  endforeach()
endforeach()

if(_violations)
  message(FATAL_ERROR "Includes that point up a layer (see README, Architecture):\n${_violations}")
endif()
message(STATUS "layers: every include points down")
