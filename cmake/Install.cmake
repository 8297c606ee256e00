# What `cmake --install` lays out, and the Debian package made from it: the program, the exchange simulator,
# the menu entry that also handles telephone links, the session autostart entry, the icon in the hicolor
# theme and the manual pages.
include(GNUInstallDirs)

# The simulator goes along as a tool of its own: it lets a user without an exchange try the program.
install(TARGETS KIVODialer kivo-pbx-sim RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# Desktop entries. The autostart entry keeps the menu entry's file name, so that a user's
# ~/.config/autostart/kivodialer.desktop with Hidden=true switches it off.
set(KIVO_DESKTOP_SOURCE_DIR ${PROJECT_SOURCE_DIR}/resources/desktop)
# Sessions read autostart entries from $XDG_CONFIG_DIRS/autostart only: /etc/xdg for the /usr prefix.
set(KIVO_AUTOSTART_DIR "${CMAKE_INSTALL_FULL_SYSCONFDIR}/xdg/autostart"
  CACHE PATH "Directory of the session autostart entry")
install(FILES ${KIVO_DESKTOP_SOURCE_DIR}/kivodialer.desktop
  DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${KIVO_DESKTOP_SOURCE_DIR}/kivodialer-autostart.desktop
  DESTINATION ${KIVO_AUTOSTART_DIR} RENAME kivodialer.desktop)

# The colour logo as the application icon: scalable, and rendered at the usual sizes for the menus, docks
# and panels that only take bitmaps.
set(KIVO_ICON_SVG ${PROJECT_SOURCE_DIR}/resources/icons/kivodialer-128.svg)
set(KIVO_ICON_SIZES 16 22 24 32 48 64 128 256)
install(FILES ${KIVO_ICON_SVG}
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps RENAME kivodialer.svg)

find_program(KIVO_RSVG_CONVERT rsvg-convert)
find_program(KIVO_IM_CONVERT convert)
if(NOT KIVO_RSVG_CONVERT AND NOT KIVO_IM_CONVERT)
  message(WARNING "Neither rsvg-convert nor ImageMagick's convert found: only the scalable icon is installed "
    "(scripts/bootstrap installs librsvg2-bin)")
else()
  set(KIVO_ICON_PNGS)
  foreach(nSize IN LISTS KIVO_ICON_SIZES)
    set(strDir ${PROJECT_BINARY_DIR}/icons/${nSize}x${nSize})
    if(KIVO_RSVG_CONVERT)
      set(render ${KIVO_RSVG_CONVERT} -w ${nSize} -h ${nSize} -o ${strDir}/kivodialer.png ${KIVO_ICON_SVG})
    else()
      # The logo is drawn on 64 user units; read it at a density that gives at least the target size.
      math(EXPR nDensity "${nSize} * 96 / 64 * 2")
      set(render ${KIVO_IM_CONVERT} -background none -density ${nDensity} ${KIVO_ICON_SVG}
        -resize ${nSize}x${nSize} ${strDir}/kivodialer.png)
    endif()
    add_custom_command(OUTPUT ${strDir}/kivodialer.png
      COMMAND ${CMAKE_COMMAND} -E make_directory ${strDir}
      COMMAND ${render}
      DEPENDS ${KIVO_ICON_SVG}
      COMMENT "Rendering the ${nSize}x${nSize} icon"
      VERBATIM)
    list(APPEND KIVO_ICON_PNGS ${strDir}/kivodialer.png)
    install(FILES ${strDir}/kivodialer.png
      DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${nSize}x${nSize}/apps)
  endforeach()
  add_custom_target(kivo_icons ALL DEPENDS ${KIVO_ICON_PNGS})
endif()

# Manual pages, with the version filled in and compressed as Debian keeps them (-n: no name or time stamp,
# so the package is the same on every build).
set(KIVO_MAN_PAGES KIVODialer.1 kivo-pbx-sim.1)
set(KIVO_VERSION ${PROJECT_VERSION})
set(KIVO_MAN_GZ)
foreach(strPage IN LISTS KIVO_MAN_PAGES)
  configure_file(${PROJECT_SOURCE_DIR}/resources/man/${strPage} ${PROJECT_BINARY_DIR}/man/${strPage} @ONLY)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/man/${strPage}.gz
    COMMAND gzip -9 -n -k -f ${PROJECT_BINARY_DIR}/man/${strPage}
    DEPENDS ${PROJECT_BINARY_DIR}/man/${strPage}
    COMMENT "Compressing the manual page ${strPage}"
    VERBATIM)
  list(APPEND KIVO_MAN_GZ ${PROJECT_BINARY_DIR}/man/${strPage}.gz)
endforeach()
add_custom_target(kivo_man_pages ALL DEPENDS ${KIVO_MAN_GZ})
install(FILES ${KIVO_MAN_GZ} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)
