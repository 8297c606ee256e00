# The Windows build (cross-built with cmake/toolchain-mingw64.cmake): the core, the native services of
# platform/win32 (kivowin32), KIVODialer.exe, and the core's and the services' tests under Wine.
# No Qt: the desktop layer of the Linux build is not part of it.

# The version resource is compiled with windres.
enable_language(RC)

# Unicode Win32 calls, and nothing of <windows.h> that the code does not use (min/max macros).
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

# CTest runs each test through Wine in a prefix of this build directory's own.
set(KIVO_WINEPREFIX ${CMAKE_BINARY_DIR}/wineprefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/wine-run.in ${CMAKE_BINARY_DIR}/wine-run @ONLY
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run)

add_library(kivowin32 STATIC)
target_link_libraries(kivowin32 PUBLIC kivocore)

add_subdirectory(resources)
add_subdirectory(app)
add_subdirectory(pbxweb)
add_subdirectory(notify)
add_subdirectory(tray)
add_subdirectory(ui)
add_subdirectory(platform)

# The version resource, from the project's version as on Linux.
configure_file(platform/win32/resources/VersionInfo.rc.in ${CMAKE_BINARY_DIR}/VersionInfo.rc @ONLY)
set(KIVO_VERSION_RC ${CMAKE_BINARY_DIR}/VersionInfo.rc)

# The icons 128 and 135, rendered from resources/icons/*.svg (rsvg-convert and ImageMagick).
set(KIVO_ICON_DIR ${CMAKE_BINARY_DIR}/icons)
foreach(id 128 135)
  set(ico ${KIVO_ICON_DIR}/kivodialer-${id}.ico)
  add_custom_command(OUTPUT ${ico}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${KIVO_ICON_DIR}
    COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/svg-to-ico.sh ${PROJECT_SOURCE_DIR}/resources/icons/kivodialer-${id}.svg ${ico}
    DEPENDS ${PROJECT_SOURCE_DIR}/resources/icons/kivodialer-${id}.svg ${CMAKE_CURRENT_LIST_DIR}/svg-to-ico.sh
    VERBATIM)
  set(KIVO_ICON_${id} ${ico})
endforeach()
add_custom_target(kivo_win_icons DEPENDS ${KIVO_ICON_128} ${KIVO_ICON_135})
configure_file(platform/win32/resources/Icons.rc.in ${CMAKE_BINARY_DIR}/Icons.rc @ONLY)
set(KIVO_ICONS_RC ${CMAKE_BINARY_DIR}/Icons.rc)
set_source_files_properties(${KIVO_ICONS_RC} PROPERTIES OBJECT_DEPENDS "${KIVO_ICON_128};${KIVO_ICON_135}")

add_executable(KIVODialer WIN32 platform/win32/app/WinMain.cpp ${KIVO_VERSION_RC} ${KIVO_ICONS_RC})
add_dependencies(KIVODialer kivo_win_icons)
target_link_libraries(KIVODialer PRIVATE kivowin32)
target_link_options(KIVODialer PRIVATE -municode)

# The installer (NSIS, built on Linux with makensis): build-win/KIVODialer-VERSION-setup.exe.
find_program(KIVO_MAKENSIS makensis)
if(KIVO_MAKENSIS)
  set(KIVO_INSTALLER ${CMAKE_BINARY_DIR}/KIVODialer-${PROJECT_VERSION}-setup.exe)
  set(KIVO_NSI ${PROJECT_SOURCE_DIR}/platform/win32/installer/KIVODialer.nsi)
  add_custom_command(OUTPUT ${KIVO_INSTALLER}
    COMMAND ${KIVO_MAKENSIS} -V2 -WX -DVERSION=${PROJECT_VERSION} -DEXE=$<TARGET_FILE:KIVODialer>
      -DOUTFILE=${KIVO_INSTALLER} ${KIVO_NSI}
    DEPENDS KIVODialer ${KIVO_NSI}
    VERBATIM)
  add_custom_target(kivo_installer ALL DEPENDS ${KIVO_INSTALLER})
endif()

option(KIVO_BUILD_TESTS "Build the tests" ON)
if(KIVO_BUILD_TESTS)
  enable_testing()
  add_subdirectory(tests/win32)
endif()
