# What `cmake --install` and the package put where: both programs (stripped),
# the help file, manual pages, bash completion, the service's systemd user unit, the desktop entry, icon and
# AppStream metainfo, and the license and README. A build without the window
# installs everything that belongs to lintaro-cli.
include(GNUInstallDirs)
find_program(GZIP gzip REQUIRED)

set(LINTARO_PROGRAMS lintaro-cli)
if(TARGET lintaro)
  list(APPEND LINTARO_PROGRAMS lintaro)
endif()
foreach(target IN LISTS LINTARO_PROGRAMS ITEMS lintaro_core lintaro_ui)
  if(TARGET ${target})
    lintaro_harden(${target})
  endif()
endforeach()
install(TARGETS ${LINTARO_PROGRAMS} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
option(LINTARO_INSTALL_STRIP "Strip the programs when installing them" ON)
if(LINTARO_INSTALL_STRIP AND CMAKE_STRIP)
  # As Debian strips programs: the symbols, and the compiler's notes too.
  foreach(program IN LISTS LINTARO_PROGRAMS)
    install(CODE "execute_process(COMMAND \"${CMAKE_STRIP}\" --remove-section=.comment
      --remove-section=.note
      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/${program}\"
      COMMAND_ERROR_IS_FATAL ANY)")
  endforeach()
endif()
# The help file under share/lintaro also tells an installed copy from a build
# folder (core/program_folder.h), so lintaro-cli alone installs it too.
install(FILES src/ui/Lintaro.hlp DESTINATION ${CMAKE_INSTALL_DATADIR}/lintaro)

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
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(WARNING "help2man is missing: no manual pages are made or installed")
endif()

# The service's systemd user unit, installed but not enabled. Its ExecStart
# names the program where this installation puts it (/usr/bin in the
# package), so it is written at install time.
install(CODE "set(LINTARO_UNIT_BINDIR \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}\")
  configure_file(\"${CMAKE_SOURCE_DIR}/packaging/lintaro-serve.service.in\"
    \"${CMAKE_BINARY_DIR}/packaging/lintaro-serve.service\" @ONLY)")
install(FILES ${CMAKE_BINARY_DIR}/packaging/lintaro-serve.service DESTINATION lib/systemd/user)

install(FILES packaging/lintaro-cli.bash-completion
  DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME lintaro-cli)

if(TARGET lintaro)
  set(LINTARO_APPSTREAM_ID example.lintaro.Lintaro)
  configure_file(packaging/lintaro.metainfo.xml.in
    ${CMAKE_BINARY_DIR}/packaging/${LINTARO_APPSTREAM_ID}.metainfo.xml @ONLY)
  install(FILES src/ui/lintaro.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES src/ui/lintaro.svg
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/${LINTARO_APPSTREAM_ID}.metainfo.xml
    DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
endif()

# The documents, with the copyright and changelog in Debian's form.
execute_process(COMMAND date -u -R -d ${LINTARO_RELEASE_DATE}
  OUTPUT_VARIABLE LINTARO_RELEASE_DATE_RFC2822 OUTPUT_STRIP_TRAILING_WHITESPACE)
set(changelog ${CMAKE_BINARY_DIR}/packaging/changelog)
configure_file(packaging/changelog.in ${changelog} @ONLY)
add_custom_command(OUTPUT ${changelog}.gz
  COMMAND ${GZIP} -9 -n -k -f ${changelog}
  DEPENDS ${changelog}
  VERBATIM)
add_custom_target(lintaro_changelog ALL DEPENDS ${changelog}.gz)
install(FILES LICENSE README.md packaging/copyright ${changelog}.gz
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/lintaro)
install(FILES packaging/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME lintaro)
