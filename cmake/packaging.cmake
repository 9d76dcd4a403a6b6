# Packages made by CPack from the install rules (`cmake --workflow --preset package`, or `cpack`
# in a configured build folder): on Linux a .deb and a .tar.gz, for Windows a .zip.

# The package's version: the first three parts of the program's.
set(TARVOLIN_PACKAGE_VERSION
    "${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${PROJECT_VERSION_PATCH}")

set(CPACK_PACKAGE_NAME tarvolin)
set(CPACK_PACKAGE_VENDOR "The Tarvolin developers")
set(CPACK_PACKAGE_VERSION ${TARVOLIN_PACKAGE_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
# (Lines under 80 characters: the .deb's control file shows them as they are.)
set(CPACK_PACKAGE_DESCRIPTION
    "Tarvolin computes message digests and checksums of files, folder trees and
text with fourteen algorithms (MD5, SHA-1, SHA-2, SHA-3, BLAKE2, BLAKE3, XXH64
and MurmurHash3), compares two files, writes checksum listings and checks them
again, including the listings of the usual checksum tools.")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
elseif(CMAKE_SYSTEM_NAME STREQUAL "Linux")
  set(CPACK_GENERATOR DEB TGZ)
else()
  set(CPACK_GENERATOR TGZ)
endif()
string(TOLOWER "${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}" CPACK_SYSTEM_NAME)
set(CPACK_PACKAGE_FILE_NAME "tarvolin-${TARVOLIN_PACKAGE_VERSION}-${CPACK_SYSTEM_NAME}")

# Debian: the shared libraries the program needs are found by dpkg-shlibdeps (Debian:
# dpkg-dev); the file is named the Debian way (tarvolin_1.0.0_amd64.deb).
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# A packager sets their own address with -DCPACK_DEBIAN_PACKAGE_MAINTAINER=...
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The Tarvolin developers <tarvolin@example.org>"
    CACHE STRING "Maintainer field of the .deb package")

include(CPack)
