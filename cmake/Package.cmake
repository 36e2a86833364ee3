# The Debian packages: `cpack -G DEB` in the build folder (or scripts/package)
# makes one package per component of cmake/Install.cmake:
#   lintaro-cli_<version>_<arch>.deb  the command line, depending only on the
#                                     libraries it links (dpkg-shlibdeps);
#   lintaro_<version>_<arch>.deb      the desktop program, depending on Qt and
#                                     on lintaro-cli of the same version.
# A build without the window makes lintaro-cli alone.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lintaro)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The Lintaro developers")
set(CPACK_PACKAGE_CONTACT "The Lintaro developers <dev@lintaro.example>")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL cli)
if(TARGET lintaro)
  list(APPEND CPACK_COMPONENTS_ALL desktop)
endif()
set(CPACK_COMPONENT_DESKTOP_DEPENDS cli)
# lintaro depends on lintaro-cli (= version).
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_SOURCE lintaro)

# Lines of at most 79 characters, as Debian's tools show them.
set(lintaro_about
  "Lintaro checks a file of corrected annual wage and tax statements (tax year"
  "2007, Korvel format) before it is sent to the filing agency. It checks the"
  "order of the records and every field of every record, compares each"
  "employer's total records with the sums of its employees' amounts, and"
  "records every problem with the record number, the field, what it held and"
  "how to correct it."
  "")
set(CPACK_DEBIAN_CLI_PACKAGE_NAME lintaro-cli)
set(CPACK_DEBIAN_CLI_PACKAGE_SECTION utils)
set(CPACK_COMPONENT_CLI_DESCRIPTION
  "checker for corrected wage and tax statement submissions (command line)")
string(JOIN "\n" CPACK_DEBIAN_CLI_DESCRIPTION
  "checker for corrected wage and tax statement submissions (command line)"
  ${lintaro_about}
  "This package holds lintaro-cli, the command-line checker for batch jobs,"
  "servers and CI: check, report (text, HTML, JSON, CSV), show and batch.")
set(CPACK_DEBIAN_DESKTOP_PACKAGE_NAME lintaro)
set(CPACK_DEBIAN_DESKTOP_PACKAGE_SECTION x11)
string(JOIN "\n" CPACK_DEBIAN_DESKTOP_DESCRIPTION
  "checker for corrected wage and tax statement submissions (desktop)"
  ${lintaro_about}
  "This package holds lintaro, the desktop program that also shows the tested"
  "records field by field and prints the error report.")
# Run, not linked, so dpkg-shlibdeps cannot see it: the browser hand-over
# asks xdg-mime for the web browser.
set(CPACK_DEBIAN_DESKTOP_PACKAGE_RECOMMENDS "xdg-utils")

include(CPack)
