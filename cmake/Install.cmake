# What `cmake --install` puts on a Linux desktop: both programs, the menu entry, the file types of
# profiles and batch files, the icons in the hicolor theme, the software-centre description, the
# user guide and the manual pages.

include(GNUInstallDirs)

foreach(program velmora velmora-cli)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

set(velmora_data ${PROJECT_SOURCE_DIR}/data)
install(FILES ${velmora_data}/org.velmora.Velmora.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${velmora_data}/org.velmora.Velmora.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${velmora_data}/velmora-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME velmora.xml)
install(DIRECTORY ${velmora_data}/icons/hicolor/ DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor)
# The help is found beside the program: <prefix>/bin/velmora reads <prefix>/share/velmora/help.
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/help/ DESTINATION ${CMAKE_INSTALL_DATADIR}/velmora/help)
file(GLOB velmora_man_pages CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/*.1)
install(FILES ${velmora_man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# A system-wide install refreshes the caches that make the menu, the file types and the icon show
# at once; a staged install (DESTDIR, packaging) leaves that to the package's own triggers.
install(CODE [[
  if("$ENV{DESTDIR}" STREQUAL "")
    foreach(step "update-mime-database;${CMAKE_INSTALL_PREFIX}/share/mime"
                 "update-desktop-database;${CMAKE_INSTALL_PREFIX}/share/applications"
                 "gtk-update-icon-cache;-q;-t;${CMAKE_INSTALL_PREFIX}/share/icons/hicolor")
      list(GET step 0 tool)
      find_program(found_${tool} ${tool})
      if(found_${tool})
        list(SUBLIST step 1 -1 tool_args)
        execute_process(COMMAND ${found_${tool}} ${tool_args} RESULT_VARIABLE ignored OUTPUT_QUIET ERROR_QUIET)
      endif()
    endforeach()
  endif()
]])

if(VELMORA_BUILD_TESTS)
  find_program(VELMORA_DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(VELMORA_APPSTREAMCLI appstreamcli)
  if(VELMORA_DESKTOP_FILE_VALIDATE)
    add_test(NAME desktop_entry_valid
             COMMAND ${VELMORA_DESKTOP_FILE_VALIDATE} ${velmora_data}/org.velmora.Velmora.desktop)
  endif()
  if(VELMORA_APPSTREAMCLI)
    add_test(NAME metainfo_valid
             COMMAND ${VELMORA_APPSTREAMCLI} validate --no-net ${velmora_data}/org.velmora.Velmora.metainfo.xml)
  endif()
  # One version for the program: the AppStream release names the version the programs print.
  add_test(NAME one_program_version
           COMMAND sh -c "grep -q '<release version=\"${PROJECT_VERSION}\"' '${velmora_data}/org.velmora.Velmora.metainfo.xml' && '$<TARGET_FILE:velmora-cli>' --version | grep -qx 'velmora-cli ${PROJECT_VERSION} (profile and batch files version 1.09)'")
  add_test(NAME install_layout
           COMMAND ${CMAKE_COMMAND} -DBUILD_DIR=${PROJECT_BINARY_DIR} -DSTAGE=${PROJECT_BINARY_DIR}/install-check
                   -P ${PROJECT_SOURCE_DIR}/cmake/CheckInstall.cmake)
endif()
