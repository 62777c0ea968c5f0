# The Debian package: `cmake --build build --target package` (or `cpack -G DEB` in the build
# folder) writes tesvane_VERSION_ARCH.deb with its dependencies found from the binaries.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tesvane)
set(CPACK_PACKAGE_VENDOR "The Tesvane developers")
set(CPACK_PACKAGE_CONTACT "The Tesvane developers <tesvane@users.noreply.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "two-block PLS of landmark data in two groups")
set(CPACK_PACKAGE_DESCRIPTION
    "Tesvane compares how two blocks of variables covary in two groups of\n"
    "specimens. It superimposes landmark configurations (generalized Procrustes),\n"
    "turns them into partial-warp and uniform scores of a thin-plate spline, runs\n"
    "a two-block partial least squares analysis per group, reports the angles\n"
    "between the groups' axes, bootstraps them and draws the axes as deformed\n"
    "grids, vectors and contours.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tesvane.invalid/")
# dpkg-shlibdeps reads the libraries of every binary, the dlopen()ed module included.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
# Debian wants the directories the package owns to be root's with the usual modes.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
    GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
include(CPack)
