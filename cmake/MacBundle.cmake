# vexlo_mac_bundle(target): the macOS application bundle and its disk image (macOS only).
# - Info.plist from app/Info.plist.in: bundle id, version, LSMinimumSystemVersion, copyright, the "vexlink" URL type.
# - vexlo.icns made at build time from install/icons/vexlo-*.png with iconutil (part of macOS; it exists only on a Mac).
# - `cmake --install` places the bundle and runs macdeployqt on it: the Qt frameworks, plugins and the QML modules
#   our QML imports go into the bundle.
# - cpack -G DragNDrop: a .dmg of the installed bundle beside a link to /Applications (install/CMakeLists.txt).
function(vexlo_mac_bundle target)
  set(icons ${PROJECT_SOURCE_DIR}/install/icons)
  set(iconset ${CMAKE_CURRENT_BINARY_DIR}/vexlo.iconset)
  set(icns ${CMAKE_CURRENT_BINARY_DIR}/vexlo.icns)
  # iconutil's names: icon_<points>x<points>[@2x].png.
  set(copies)
  foreach(pair 16:16 32:16@2x 32:32 64:32@2x 128:128 256:128@2x 256:256 512:256@2x 512:512)
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 pixels)
    list(GET pair 1 name)
    string(REGEX REPLACE "^([0-9]+)" "\\1x\\1" name ${name})
    list(APPEND copies COMMAND ${CMAKE_COMMAND} -E copy ${icons}/vexlo-${pixels}.png ${iconset}/icon_${name}.png)
  endforeach()
  add_custom_command(OUTPUT ${icns}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${iconset}
    ${copies}
    COMMAND iconutil --convert icns --output ${icns} ${iconset}
    DEPENDS ${icons}/vexlo-16.png ${icons}/vexlo-512.png
    COMMENT "Making vexlo.icns")
  target_sources(${target} PRIVATE ${icns})
  set_source_files_properties(${icns} PROPERTIES MACOSX_PACKAGE_LOCATION Resources)

  string(TIMESTAMP year "%Y")
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME Vexlo
    MACOSX_BUNDLE_ICON_FILE vexlo.icns
    MACOSX_BUNDLE_SHORT_VERSION_STRING ${PROJECT_VERSION}
    MACOSX_BUNDLE_BUNDLE_VERSION ${PROJECT_VERSION}
    MACOSX_BUNDLE_COPYRIGHT "© ${year} Vexlo")

  find_program(VEXLO_MACDEPLOYQT macdeployqt HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" REQUIRED)
  install(TARGETS ${target} BUNDLE DESTINATION . COMPONENT vexlo_app)
  # -qmldir: where macdeployqt reads our QML's imports to copy the Qt QML modules they name.
  install(CODE "execute_process(COMMAND \"${VEXLO_MACDEPLOYQT}\" \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/Vexlo.app\"
    -qmldir=${PROJECT_SOURCE_DIR} -always-overwrite COMMAND_ERROR_IS_FATAL ANY)" COMPONENT vexlo_app)
endfunction()
