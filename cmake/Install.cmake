# What `cmake --install` and the packages put where, in two components:
#   cli      lintaro-cli and lintaro-serve, the service it runs (stripped,
#            the latter in libexec/lintaro), its manual pages (lintaro-cli(1),
#            lintaro-formats(5)), bash completion, the sample submissions,
#            the service's systemd user unit (installed, not enabled),
#            and its documents (doc/lintaro-cli: README, license, copyright,
#            changelog);
#   desktop  lintaro (stripped), its manual page, the help file, the desktop
#            entry, icon, AppStream metainfo, the MIME type of submission
#            files, and its copyright and changelog (doc/lintaro).
# A build without the window installs the cli component alone.
include(GNUInstallDirs)
find_program(GZIP gzip REQUIRED)

set(LINTARO_PROGRAMS lintaro-cli)
set(LINTARO_COMPONENT_lintaro-cli cli)
set(LINTARO_COMPONENT_lintaro desktop)
if(TARGET lintaro)
  list(APPEND LINTARO_PROGRAMS lintaro)
endif()
foreach(target IN LISTS LINTARO_PROGRAMS ITEMS lintaro-serve lintaro_cli lintaro_serve lintaro_core
    lintaro_ui)
  if(TARGET ${target})
    lintaro_harden(${target})
  endif()
endforeach()
option(LINTARO_INSTALL_STRIP "Strip the programs when installing them" ON)
# install_program(TARGET FOLDER COMPONENT): the program into FOLDER, stripped.
function(install_program program folder component)
  install(TARGETS ${program} RUNTIME DESTINATION ${folder} COMPONENT ${component})
  if(LINTARO_INSTALL_STRIP AND CMAKE_STRIP)
    # As Debian strips programs: the symbols, and the compiler's notes too.
    install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
      --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${folder}/${program}\"
      COMMAND_ERROR_IS_FATAL ANY)" COMPONENT ${component})
  endif()
endfunction()
foreach(program IN LISTS LINTARO_PROGRAMS)
  install_program(${program} ${CMAKE_INSTALL_BINDIR} ${LINTARO_COMPONENT_${program}})
endforeach()
# lintaro-serve, which `lintaro-cli serve` runs, is no command of its own.
install_program(lintaro-serve ${CMAKE_INSTALL_LIBEXECDIR}/lintaro cli)
# share/lintaro also tells an installed copy from a build folder
# (os/program_folder.h): the samples put it there for lintaro-cli alone.
install(FILES samples/clean.txt samples/mistakes.txt
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintaro/samples COMPONENT cli)

# Manual pages from the programs' own --help, with the project version.
set(LINTARO_MAN_lintaro-cli "check corrected wage and tax statement submissions")
set(LINTARO_MAN_lintaro "test corrected wage and tax statement submissions in a window")
find_program(HELP2MAN help2man)
if(HELP2MAN)
  set(man_pages "")
  foreach(program IN LISTS LINTARO_PROGRAMS)
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1.gz)
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -DHELP2MAN=${HELP2MAN} -DGZIP=${GZIP}
        -DPROGRAM=$<TARGET_FILE:${program}> -DVERSION=${PROJECT_VERSION}
        "-DDESCRIPTION=${LINTARO_MAN_${program}}"
        -DINCLUDE=${CMAKE_SOURCE_DIR}/packaging/${program}.h2m -DOUTPUT=${page}
        -P ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
      DEPENDS ${program} ${CMAKE_SOURCE_DIR}/cmake/ManPage.cmake
        ${CMAKE_SOURCE_DIR}/packaging/${program}.h2m
      COMMENT "Writing the manual page of ${program}"
      VERBATIM)
    list(APPEND man_pages ${page})
    install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
      COMPONENT ${LINTARO_COMPONENT_${program}})
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
else()
  message(WARNING "help2man is missing: no manual pages are made or installed")
endif()
# The layouts of the JSON and CSV forms, written by hand.
set(formats_page ${CMAKE_BINARY_DIR}/man/lintaro-formats.5.gz)
add_custom_command(OUTPUT ${formats_page}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
  COMMAND ${GZIP} -9 -n -c ${CMAKE_SOURCE_DIR}/packaging/lintaro-formats.5 > ${formats_page}
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/lintaro-formats.5
  VERBATIM)
add_custom_target(formats_page ALL DEPENDS ${formats_page})
install(FILES ${formats_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man5 COMPONENT cli)

# The service's systemd user unit, installed but not enabled. Its ExecStart
# names the program where this installation puts it (/usr/bin in the
# package), so it is written at install time.
install(CODE "set(LINTARO_UNIT_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/packaging/lintaro-serve.service.in\"
    \"${CMAKE_BINARY_DIR}/packaging/lintaro-serve.service\" @ONLY)" COMPONENT cli)
install(FILES ${CMAKE_BINARY_DIR}/packaging/lintaro-serve.service DESTINATION lib/systemd/user
  COMPONENT cli)

install(FILES packaging/lintaro-cli.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME lintaro-cli
  COMPONENT cli)

if(TARGET lintaro)
  set(LINTARO_APPSTREAM_ID example.lintaro.Lintaro)
  configure_file(packaging/lintaro.metainfo.xml.in
    ${CMAKE_BINARY_DIR}/packaging/${LINTARO_APPSTREAM_ID}.metainfo.xml @ONLY)
  install(FILES src/ui/Lintaro.hlp DESTINATION ${CMAKE_INSTALL_DATADIR}/lintaro
    COMPONENT desktop)
  install(FILES src/ui/lintaro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications
    COMPONENT desktop)
  install(FILES src/ui/lintaro.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps COMPONENT desktop)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${LINTARO_APPSTREAM_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo COMPONENT desktop)
  install(FILES packaging/lintaro-submission.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME lintaro.xml COMPONENT desktop)
endif()

# The documents, with the copyright and changelog in Debian's form, and
# each package's lintian overrides.
execute_process(COMMAND date -u -R -d ${LINTARO_RELEASE_DATE}
  OUTPUT_VARIABLE LINTARO_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog)
configure_file(packaging/changelog.in ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${GZIP} -9 -n -k -f ${changelog}
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(lintaro_changelog ALL DEPENDS ${changelog}.gz)
foreach(program IN LISTS LINTARO_PROGRAMS)
  set(documents packaging/copyright ${changelog}.gz)
  if(program STREQUAL lintaro-cli)
    list(APPEND documents LICENSE README.md)
  endif()
  install(FILES ${documents} DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/${program}
    COMPONENT ${LINTARO_COMPONENT_${program}})
  install(FILES packaging/${program}.lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME ${program}
    COMPONENT ${LINTARO_COMPONENT_${program}})
endforeach()
