# Packages of the installed tree: `cpack -G DEB` and `cpack -G TGZ` in a build folder.
#
# They hold the library, the headers, the CMake package, the pkg-config file and the license
# (share/doc/quorvel/copyright): what `cmake --install` installs by default. The demo is left out;
# it aborts on purpose and installs only on request (`cmake --install <build> --component demo`).
# The license as share/doc/quorvel/copyright, in Debian's machine-readable form.
file(READ ${PROJECT_SOURCE_DIR}/LICENSE license_text)
string(STRIP "${license_text}" license_text)
string(REGEX REPLACE "\n\n" "\n.\n" license_text "${license_text}")
string(REPLACE "\n" "\n " license_text "${license_text}")
file(WRITE ${PROJECT_BINARY_DIR}/copyright
     "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n"
     "Upstream-Name: quorvel\n\n"
     "Files: *\n"
     "Copyright: 2026 The quorvel developers\n"
     "License: MIT\n ${license_text}\n")
install(FILES ${PROJECT_BINARY_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

set(CPACK_PACKAGE_NAME quorvel)
set(CPACK_PACKAGE_VENDOR "The quorvel developers")
# The maintainer field Debian requires; a release sets a real address (docs/releasing.md).
set(CPACK_PACKAGE_CONTACT "The quorvel developers <maintainers@quorvel.invalid>" CACHE STRING
    "Maintainer of the packages")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_RESOURCE_FILE_README ${PROJECT_SOURCE_DIR}/README.md)
set(CPACK_GENERATOR DEB TGZ)
set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_IGNORE_FILES "/\\\\.git/" "/build/")

# Debian: a development package (static or shared library with its headers); the file name
# follows Debian's quorvel_<version>_<architecture>.deb.
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "C++17 signed integers held as a fixed number of decimal digits, with wrap-around to the width, a fixed-point type over them and a process-wide log of every step.")
if(BUILD_SHARED_LIBS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)  # from the library's own dependencies
endif()
set(CPACK_PACKAGE_FILE_NAME
    "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
include(CPack)
