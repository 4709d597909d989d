# The packages, made by CPack from the install rules (scripts/package.sh runs them all):
#   Linux build    lumen-ribbon_<version>_amd64.deb (DEB), with whatever the Linux programs install
#   Windows builds Lumen_Ribbon-<version>-win32.zip and -win64.zip (ZIP), the portable archives
#   Web build      lumen-ribbon-<version>-web.zip (ZIP), the page to put on any static server
# The Windows installer is an NSIS script (packaging/windows), made beside them.

set(CPACK_PACKAGE_VENDOR "The Lumen_Ribbon developers")
set(CPACK_PACKAGE_CONTACT "The Lumen_Ribbon developers <maintainers@lumen-ribbon.example.org>")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "soft coloured bands of light swinging over black")
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)

if(LR_WINDOWS_BUILD)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Lumen_Ribbon)
  math(EXPR windows_bits "${CMAKE_SIZEOF_VOID_P} * 8")
  set(CPACK_PACKAGE_FILE_NAME Lumen_Ribbon-${PROJECT_VERSION}-win${windows_bits})
  install(TARGETS Lumen_Ribbon_host Lumen_Ribbon_renderer RUNTIME DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/packaging/windows/README.txt DESTINATION .)
  install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
elseif(LR_WEB_BUILD)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME lumen-ribbon)
  set(CPACK_PACKAGE_FILE_NAME lumen-ribbon-${PROJECT_VERSION}-web)
  install(TARGETS lumen-ribbon RUNTIME DESTINATION .)
  install(FILES ${PROJECT_BINARY_DIR}/index.html ${PROJECT_BINARY_DIR}/lumen-ribbon.wasm
                ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION .)
elseif(LR_X11_BUILD)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME lumen-ribbon)
  set(CPACK_STRIP_FILES ON)
  # The package installs where the build says, so that what the programs know of their
  # prefix (the host's hack folder) is where the package puts it: scripts/build.sh uses /usr.
  set(CPACK_PACKAGING_INSTALL_PREFIX ${CMAKE_INSTALL_PREFIX})
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SECTION x11)
  set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
  set(CPACK_DEBIAN_PACKAGE_SUGGESTS "xscreensaver | xsecurelock | mate-screensaver")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
  set(CPACK_PACKAGE_DESCRIPTION
      "A screen saver that fills the screen with three groups of a hundred soft\n\
coloured bands of light swinging over black, drawn with OpenGL. It runs on its\n\
own at full screen or as an XScreenSaver hack, also under xsecurelock and\n\
MATE's screensaver, with optional background music.")

  # Debian wants its documents and manual pages compressed without a time stamp.
  set(package_dir ${PROJECT_SOURCE_DIR}/packaging/linux)
  set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/lumen-ribbon)
  configure_file(${package_dir}/changelog.in ${PROJECT_BINARY_DIR}/packaging/changelog @ONLY)
  function(lr_gzipped_file source destination)
    get_filename_component(name ${source} NAME)
    set(gz ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
    add_custom_command(OUTPUT ${gz} COMMAND gzip -9nc ${source} > ${gz} DEPENDS ${source})
    set_property(GLOBAL APPEND PROPERTY LR_GZIPPED_FILES ${gz})
    install(FILES ${gz} DESTINATION ${destination})
  endfunction()
  lr_gzipped_file(${PROJECT_BINARY_DIR}/packaging/changelog ${doc_dir})
  lr_gzipped_file(${package_dir}/lumen-ribbon.6 ${CMAKE_INSTALL_MANDIR}/man6)
  install(FILES ${package_dir}/copyright DESTINATION ${doc_dir})

  # The host's settings entry and manual page go with the host, and what it loads at run time
  # beyond the libraries it links: GStreamer's playbin and decoders for the music, the
  # dialog's Japanese Gothic face.
  if(TARGET lumen-ribbon-host)
    set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "gstreamer1.0-plugins-base, gstreamer1.0-plugins-good, \
fonts-ipafont-gothic | fonts-japanese-gothic")
    lr_gzipped_file(${package_dir}/lumen-ribbon-host.1 ${CMAKE_INSTALL_MANDIR}/man1)
    install(FILES ${package_dir}/lumen-ribbon-settings.desktop
            DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
    install(FILES ${package_dir}/lumen-ribbon.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/32x32/apps)
  endif()
  get_property(gzipped GLOBAL PROPERTY LR_GZIPPED_FILES)
  add_custom_target(lr_package_files ALL DEPENDS ${gzipped})
endif()

include(CPack)
