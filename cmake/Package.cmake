# The Debian package: `cpack -G DEB` in the build folder (or scripts/package)
# makes lintaro_<version>_<arch>.deb of what cmake/Install.cmake installs,
# with the libraries it needs found by dpkg-shlibdeps.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lintaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Lintaro developers")
set(CPACK_PACKAGE_CONTACT "The Lintaro developers <dev@lintaro.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "checker for corrected wage and tax statement submissions")
# Lines of at most 79 characters, as Debian's tools show them.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
  "Lintaro checks a file of corrected annual wage and tax statements (tax year"
  "2007, Korvel format) before it is sent to the filing agency. It checks the"
  "order of the records and every field of every record, compares each"
  "employer's total records with the sums of its employees' amounts, and"
  "records every problem with the record number, the field, what it held and"
  "how to correct it."
  ""
  "The package holds lintaro-cli, the command-line checker for batch jobs, and,"
  "when built with it, lintaro, the desktop program that also shows the tested"
  "records field by field and prints the error report.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
if(TARGET lintaro)
  # Run, not linked, so dpkg-shlibdeps cannot see it: the browser hand-over
  # asks xdg-mime for the web browser.
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
endif()

include(CPack)
