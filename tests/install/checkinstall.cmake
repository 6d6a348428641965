# cmake -DBUILD_DIR=... -DDESTDIR=... -DAPP_ID=... -P checkinstall.cmake
set(prefix /opt/ferrix-check)
file(REMOVE_RECURSE ${DESTDIR})
set(ENV{DESTDIR} ${DESTDIR})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix}
  RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
  bin/ferrix
  share/applications/${APP_ID}.desktop
  share/metainfo/${APP_ID}.metainfo.xml
  share/icons/hicolor/scalable/apps/${APP_ID}.svg)
foreach(size 16 22 24 32 48 64 128 256)
  list(APPEND expected share/icons/hicolor/${size}x${size}/apps/${APP_ID}.png)
endforeach()
file(GLOB_RECURSE installed LIST_DIRECTORIES false RELATIVE ${DESTDIR}${prefix} ${DESTDIR}/*)
list(SORT installed)
list(SORT expected)
if(NOT installed STREQUAL expected)
  string(REPLACE ";" "\n  " got "${installed}")
  string(REPLACE ";" "\n  " want "${expected}")
  message(FATAL_ERROR "installed:\n  ${got}\nexpected:\n  ${want}")
endif()

# Ferrix opens one folder per window: a launcher must start one per folder.
file(STRINGS ${DESTDIR}${prefix}/share/applications/${APP_ID}.desktop exec REGEX "^Exec=")
if(NOT exec MATCHES "^Exec=ferrix %u$")
  message(FATAL_ERROR "the entry must pass one folder per start, not: ${exec}")
endif()

foreach(validator "desktop-file-validate;share/applications/${APP_ID}.desktop"
                  "appstreamcli;validate;--no-net;--explain;share/metainfo/${APP_ID}.metainfo.xml")
  list(POP_BACK validator file)
  execute_process(COMMAND ${validator} ${DESTDIR}${prefix}/${file}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${validator} ${file} failed (${result}):\n${out}")
  endif()
  message(STATUS "${validator}: ${out}")
endforeach()
