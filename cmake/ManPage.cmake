# Writes a program's manual page from its --help with help2man, compressed
# as Debian installs manual pages. Run at build time:
#
#   cmake -DHELP2MAN=... -DGZIP=... -DPROGRAM=<built binary> -DVERSION=<project version>
#         -DDESCRIPTION=<one line for NAME> -DINCLUDE=<help2man include file>
#         -DOUTPUT=<name>.1.gz -P ManPage.cmake
#
# The version on the page is the project version. A program that answers
# --version must print that same version (the build stops otherwise); one
# that does not answer it yet gets the page all the same.
cmake_minimum_required(VERSION 3.22)

foreach(var HELP2MAN GZIP PROGRAM VERSION DESCRIPTION INCLUDE OUTPUT)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "ManPage.cmake needs -D${var}=...")
  endif()
endforeach()

get_filename_component(program_name "${PROGRAM}" NAME)
execute_process(COMMAND "${PROGRAM}" --version
  RESULT_VARIABLE status OUTPUT_VARIABLE printed ERROR_QUIET)
if(status EQUAL 0 AND NOT printed STREQUAL "")
  string(REGEX REPLACE "\n.*" "" first_line "${printed}")
  if(NOT first_line MATCHES "(^| )${VERSION}$")
    message(FATAL_ERROR "${program_name} --version prints \"${first_line}\", "
      "but the project version is ${VERSION}")
  endif()
endif()

string(REGEX REPLACE "\\.gz$" "" page "${OUTPUT}")
execute_process(
  COMMAND "${HELP2MAN}" --no-info --no-discard-stderr --section=1
    "--name=${DESCRIPTION}" "--include=${INCLUDE}" "--version-string=${VERSION}"
    "--output=${page}" "${PROGRAM}"
  RESULT_VARIABLE status ERROR_VARIABLE problem)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "help2man could not write the page of ${program_name}: ${problem}")
endif()
execute_process(COMMAND "${GZIP}" -9 -n -f "${page}" RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "gzip could not compress ${page}")
endif()
