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

add_executable(KIVODialer WIN32 platform/win32/app/WinMain.cpp ${KIVO_VERSION_RC})
target_link_libraries(KIVODialer PRIVATE kivowin32)
target_link_options(KIVODialer PRIVATE -municode)

option(KIVO_BUILD_TESTS "Build the tests" ON)
if(KIVO_BUILD_TESTS)
  enable_testing()
  add_subdirectory(tests/win32)
endif()
