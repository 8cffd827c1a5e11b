# Installs the build into a temporary DESTDIR as a distribution package would (prefix /usr), checks that the
# desktop files are in place and validates them with the desktop's own tools.
# cmake -DBUILD=<build dir> -DOUT=<scratch dir> -P check_install.cmake
cmake_policy(VERSION 3.25)
file(REMOVE_RECURSE ${OUT})
execute_process(COMMAND ${CMAKE_COMMAND} -E env DESTDIR=${OUT} ${CMAKE_COMMAND} --install ${BUILD} --prefix /usr
  RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
  message(FATAL_ERROR "cmake --install failed")
endif()

set(share ${OUT}/usr/share)
set(expected ${OUT}/usr/bin/vexlo ${share}/applications/vexlo.desktop ${share}/metainfo/com.vexlo.toolbox.metainfo.xml
  ${share}/icons/hicolor/scalable/apps/vexlo.svg)
foreach(size 16 24 32 48 64 128 256 512)
  list(APPEND expected ${share}/icons/hicolor/${size}x${size}/apps/vexlo.png)
endforeach()
# The speaker check's output, found beside the program.
file(GLOB_RECURSE tone_output ${OUT}/usr/lib*/vexlo/*vexlo_tone_output*)
if(NOT tone_output)
  message(FATAL_ERROR "not installed: the speaker output plugin (lib/vexlo)")
endif()
foreach(file ${expected})
  if(NOT EXISTS ${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

file(STRINGS ${share}/applications/vexlo.desktop entry)
foreach(line "MimeType=x-scheme-handler/vexlink;" "Actions=QuickSearch;" "Exec=vexlo --quick-search" "Icon=vexlo")
  if(NOT line IN_LIST entry)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()

foreach(check "desktop-file-validate;${share}/applications/vexlo.desktop"
              "appstreamcli;validate;--no-net;${share}/metainfo/com.vexlo.toolbox.metainfo.xml")
  execute_process(COMMAND ${check} RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(failed)
    message(FATAL_ERROR "${check}:\n${out}")
  endif()
  message(STATUS "${out}")
endforeach()
