# The browser build compiles with Emscripten's own C library, so the build machine's /usr/include
# must not be on its path: Eigen, nlohmann-json and Boost are header-only and are reached through
# folders that hold only them.
find_path(TESVANE_EIGEN_DIR Eigen/Core PATHS /usr/include/eigen3 NO_DEFAULT_PATH REQUIRED
          NO_CMAKE_FIND_ROOT_PATH)
find_path(TESVANE_JSON_PARENT nlohmann/json.hpp PATHS /usr/include NO_DEFAULT_PATH REQUIRED
          NO_CMAKE_FIND_ROOT_PATH)
set(_host_dir ${CMAKE_BINARY_DIR}/host_headers)
file(MAKE_DIRECTORY ${_host_dir})
find_path(TESVANE_BOOST_PARENT boost/math/special_functions/beta.hpp PATHS /usr/include
          NO_DEFAULT_PATH REQUIRED NO_CMAKE_FIND_ROOT_PATH)
file(CREATE_LINK ${TESVANE_JSON_PARENT}/nlohmann ${_host_dir}/nlohmann SYMBOLIC)
file(CREATE_LINK ${TESVANE_BOOST_PARENT}/boost ${_host_dir}/boost SYMBOLIC)

add_library(Eigen3::Eigen INTERFACE IMPORTED)
set_target_properties(Eigen3::Eigen PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${TESVANE_EIGEN_DIR})
add_library(nlohmann_json::nlohmann_json INTERFACE IMPORTED)
set_target_properties(nlohmann_json::nlohmann_json PROPERTIES
  INTERFACE_INCLUDE_DIRECTORIES ${_host_dir})
add_library(Boost::headers INTERFACE IMPORTED)
set_target_properties(Boost::headers PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${_host_dir})
