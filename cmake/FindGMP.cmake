# Finds GMP through pkg-config and provides the imported target GMP::gmp.
find_package(PkgConfig QUIET)
if(PkgConfig_FOUND)
    pkg_check_modules(GMP QUIET IMPORTED_TARGET gmp)
endif()
include(FindPackageHandleStandardArgs)
find_package_handle_standard_args(GMP REQUIRED_VARS GMP_LIBRARIES
    REASON_FAILURE_MESSAGE "On Debian: apt-get install libgmp-dev pkg-config")
if(GMP_FOUND AND NOT TARGET GMP::gmp)
    add_library(GMP::gmp ALIAS PkgConfig::GMP)
endif()
