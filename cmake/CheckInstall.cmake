# Installs the build into a scratch folder and checks that a desktop finds everything it needs there.
file(REMOVE_RECURSE ${STAGE})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${STAGE}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${status}")
endif()
set(expected
    share/applications/org.velmora.Velmora.desktop
    share/metainfo/org.velmora.Velmora.metainfo.xml
    share/mime/packages/velmora.xml
    share/icons/hicolor/scalable/apps/velmora.svg
    share/icons/hicolor/48x48/apps/velmora.png
    share/velmora/help/index.html
    share/man/man1/velmora.1
    share/man/man1/velmora-cli.1)
foreach(program velmora velmora-cli)
  if(EXISTS ${BUILD_DIR}/${program})
    list(APPEND expected bin/${program})
  endif()
endforeach()
foreach(path IN LISTS expected)
  if(NOT EXISTS ${STAGE}/${path})
    message(FATAL_ERROR "not installed: ${path}")
  endif()
endforeach()
# Every page of the guide links only to pages that were installed with it.
file(GLOB pages ${STAGE}/share/velmora/help/*.html)
foreach(page IN LISTS pages)
  file(READ ${page} html)
  string(REGEX MATCHALL "href=\"[^\"#:]+" links "${html}")
  foreach(link IN LISTS links)
    string(REGEX REPLACE "^href=\"" "" target "${link}")
    if(NOT EXISTS ${STAGE}/share/velmora/help/${target})
      message(FATAL_ERROR "${page} links to a missing page: ${target}")
    endif()
  endforeach()
endforeach()
file(REMOVE_RECURSE ${STAGE})
