# `make package`: libvaskreport1, libvaskreport-dev and vaskreport as Debian
# packages, built with CPack from the install components.
set(VASKREPORT_MAINTAINER "vaskreport developers <root@localhost>" CACHE STRING
  "Maintainer field of the Debian packages")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vaskreport)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VASKREPORT_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL lib dev cli)
# Each package depends on the one its component depends on, at this version.
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_LIB_PACKAGE_NAME libvaskreport${PROJECT_VERSION_MAJOR})
set(CPACK_DEBIAN_LIB_PACKAGE_SECTION libs)
set(CPACK_COMPONENT_LIB_DESCRIPTION
  "lodgement documents for presorted barcoded letter mailings (library)
The shared library that reads an address-matched data file and writes the
manifest, the address matching summary, the lodgement information and the
label plan file of a presorted barcoded letter mailing.")
# The library's SONAME goes into the package's shlibs file, for packages
# that are built against it.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvaskreport-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DEPENDS lib)
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "lodgement documents for presorted barcoded letter mailings (development files)
The C header, the pkg-config file and the link for building programs
against libvaskreport.")

set(CPACK_DEBIAN_CLI_PACKAGE_NAME vaskreport)
set(CPACK_DEBIAN_CLI_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_CLI_DEPENDS lib)
set(CPACK_COMPONENT_CLI_DESCRIPTION
  "lodgement documents for presorted barcoded letter mailings
The console front end: runs a report specification, checks and edits it,
and verifies a finished run against its data file.")

# The C++ run-time and libc dependencies come from dpkg-shlibdeps (dpkg-dev);
# without it the packages are still built, naming only their own.
find_program(VR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(VR_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  # The front end needs libvaskreport.so.1, which is in the build tree and in
  # no installed package yet; its dependency is the component's own.
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
else()
  message(STATUS "dpkg-shlibdeps not found: Debian packages will not depend on the C++ run-time")
endif()

include(CPack)
