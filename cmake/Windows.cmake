# The Windows side: the native layer, Purgix.exe, the Win32 tests and the tools
# the end-to-end tests and benchmarks drive it with. Included for MinGW builds.
enable_language(RC)
set(CMAKE_RC_FLAGS "${CMAKE_RC_FLAGS} -I${PROJECT_SOURCE_DIR}/res")
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)

add_library(purgix_win32 STATIC
  src/platform/win32/Text.cpp src/platform/win32/Gdi.cpp src/platform/win32/pictures/Win32Picture.cpp src/platform/win32/pictures/Wic.cpp src/platform/win32/pictures/Files.cpp src/platform/win32/adapters/Diagnostics.cpp src/platform/win32/Dpi.cpp
  src/platform/win32/adapters/Win32Platform.cpp src/platform/win32/adapters/MemoryAdapter.cpp src/platform/win32/release/BlankBlock.cpp
  src/platform/win32/adapters/InputAdapter.cpp src/platform/win32/adapters/LocaleAdapter.cpp src/platform/win32/adapters/ShellAdapter.cpp src/platform/win32/adapters/FilesAdapter.cpp
  src/platform/win32/adapters/ResourceAdapter.cpp src/platform/win32/pictures/PictureLoader.cpp src/platform/win32/adapters/RegistryAdapter.cpp
  src/platform/win32/adapters/ProfileAdapter.cpp src/platform/win32/adapters/TrayIcon.cpp src/platform/win32/adapters/InstanceAdapter.cpp
  src/platform/win32/adapters/TrayLoadIcon.cpp src/platform/win32/adapters/ClockAdapter.cpp
  src/platform/win32/window/FormWindow.cpp src/platform/win32/window/FormScale.cpp src/platform/win32/window/PeerTable.cpp
  src/platform/win32/window/ControlPeer.cpp src/platform/win32/window/ContainerPeer.cpp src/platform/win32/window/Peers.cpp
  src/platform/win32/window/LabelPeer.cpp src/platform/win32/window/Drawing.cpp src/platform/win32/window/MenuBar.cpp
  src/platform/win32/window/FormTimers.cpp src/platform/win32/window/Keyboard.cpp src/platform/win32/window/Accessible.cpp
  src/platform/win32/entry/Switches.cpp src/platform/win32/entry/Program.cpp)
target_include_directories(purgix_win32 PUBLIC src res)
target_link_libraries(purgix_win32 PUBLIC purgix_core msimg32 gdi32 user32 kernel32 advapi32 shell32 ole32 oleaut32 oleacc)
target_compile_options(purgix_win32 PRIVATE ${PURGIX_WARNINGS})

set(PURGIX_STATIC_LINK -static -static-libgcc -static-libstdc++)
# No copies of library functions with their parameters rewritten: GCC makes
# one in every object that calls, say, std::string's allocation, where the
# linker would otherwise keep the one shared copy (5.5 KiB of Purgix.exe).
foreach(target IN ITEMS purgix_core purgix_throws purgix_win32)
  target_compile_options(${target} PRIVATE -fno-ipa-sra)
endforeach()

add_executable(Purgix WIN32 src/platform/win32/entry/WinMain.cpp src/LibraryShared.cpp res/Purgix.rc)
target_link_libraries(Purgix PRIVATE purgix_throws purgix_win32)
target_compile_options(Purgix PRIVATE ${PURGIX_WARNINGS} -fno-ipa-sra)
target_link_options(Purgix PRIVATE ${PURGIX_STATIC_LINK} -municode -Wl,--gc-sections -s)
# Purgix.exe takes libstdc++ and libgcc from the same GCC's win32 threads model.
# The posix model's libstdc++ does its own locking (exceptions, static guards)
# through winpthreads, 26 KiB of the program; the program itself uses no
# std::thread or std::mutex. The tests' GoogleTest needs std::mutex, so the
# build stays on the posix compilers; the two models' libraries differ only in
# how libstdc++ locks inside itself.
find_program(PURGIX_CXX_WIN32_THREADS x86_64-w64-mingw32-g++-win32)
if(PURGIX_CXX_WIN32_THREADS)
  execute_process(COMMAND ${PURGIX_CXX_WIN32_THREADS} -dumpfullversion OUTPUT_VARIABLE _version OUTPUT_STRIP_TRAILING_WHITESPACE)
  execute_process(COMMAND ${PURGIX_CXX_WIN32_THREADS} -print-file-name=libstdc++.a OUTPUT_VARIABLE _libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
endif()
if(PURGIX_CXX_WIN32_THREADS AND _version VERSION_EQUAL CMAKE_CXX_COMPILER_VERSION AND IS_ABSOLUTE "${_libstdcxx}")
  get_filename_component(_libdir "${_libstdcxx}" DIRECTORY)
  target_link_options(Purgix PRIVATE -L${_libdir})
else()
  message(WARNING "No win32-threads MinGW-w64 g++ of version ${CMAKE_CXX_COMPILER_VERSION}: Purgix.exe links winpthreads")
endif()
set_property(SOURCE res/Purgix.rc APPEND PROPERTY OBJECT_DEPENDS
  ${PROJECT_SOURCE_DIR}/res/Purgix.manifest ${PROJECT_SOURCE_DIR}/res/Purgix.ico ${PROJECT_SOURCE_DIR}/res/Tray.ico
  ${PROJECT_SOURCE_DIR}/res/Hand.cur ${PROJECT_SOURCE_DIR}/res/Indicator0.bmp ${PROJECT_SOURCE_DIR}/res/Indicator1.bmp
  ${PROJECT_SOURCE_DIR}/res/Indicator2.bmp)

# Win32 tier: the real API and the real window, inside the test process.
add_executable(win32_tests tests/win32/FormWindowTest.cpp tests/win32/FormHooksTest.cpp tests/win32/Win32PlatformTest.cpp
  tests/win32/BlankBlockTest.cpp tests/win32/PictureLoaderTest.cpp tests/win32/DpiTest.cpp tests/win32/KeyboardTest.cpp
  tests/win32/TrayLoadIconTest.cpp tests/unit/LibraryThrowsTest.cpp res/Purgix.rc)
target_link_libraries(win32_tests PRIVATE purgix_throws purgix_win32 purgix_fakes GTest::gtest_main psapi uuid oleacc)
target_compile_options(win32_tests PRIVATE ${PURGIX_WARNINGS})
target_link_options(win32_tests PRIVATE ${PURGIX_STATIC_LINK})
add_test(NAME win32 COMMAND win32_tests)
# A skin folder with links leading out of it, for the Win32 tier: Wine 8's CreateSymbolicLinkW makes nothing.
file(MAKE_DIRECTORY ${PROJECT_BINARY_DIR}/links/Skin ${PROJECT_BINARY_DIR}/links/Elsewhere)
foreach(link IN ITEMS "../Elsewhere/x.png:link.png" "../Elsewhere:Folder" "../Elsewhere/x.ini:link.ini")
  string(REPLACE ":" ";" parts "${link}")
  list(GET parts 0 target)
  list(GET parts 1 name)
  file(CREATE_LINK ${target} ${PROJECT_BINARY_DIR}/links/Skin/${name} SYMBOLIC)
endforeach()
set_tests_properties(win32 PROPERTIES TIMEOUT 300)

# End-to-end tier: a small probe reads and drives the running program's windows from outside.
add_executable(probe tools/probe.cpp)
target_link_libraries(probe PRIVATE oleacc ole32 oleaut32)
target_compile_options(probe PRIVATE ${PURGIX_WARNINGS})
target_link_options(probe PRIVATE ${PURGIX_STATIC_LINK} -municode)
find_program(PYTHON3 python3 REQUIRED)
# The end-to-end tiers type, click and take screenshots: each runs in an X display of its own
# (tools/own-display) and Wine prefixes of its own, so that they run side by side (ctest -j).
set(PURGIX_E2E ${PROJECT_SOURCE_DIR}/tools/own-display ${PYTHON3})
set(PURGIX_E2E_ARGS --exe $<TARGET_FILE:Purgix> --probe $<TARGET_FILE:probe> --wine-run ${PROJECT_SOURCE_DIR}/tools/wine-run
  --artifacts ${PROJECT_BINARY_DIR}/artifacts)
add_test(NAME e2e COMMAND ${PURGIX_E2E} ${PROJECT_SOURCE_DIR}/tests/e2e/e2e.py ${PURGIX_E2E_ARGS})
set_tests_properties(e2e PROPERTIES TIMEOUT 600 ENVIRONMENT PURGIX_WINEPREFIX=${PROJECT_BINARY_DIR}/wine-e2e)
# The whole program, each case in a fresh prefix, in two halves; the zip case needs tools/package to have run.
foreach(part 0 1)
  add_test(NAME e2e_program_${part} COMMAND ${PURGIX_E2E} ${PROJECT_SOURCE_DIR}/tests/e2e/program.py ${PURGIX_E2E_ARGS}
    --zip ${PROJECT_SOURCE_DIR}/dist/Purgix-${PROJECT_VERSION}-win64.zip)
  set_tests_properties(e2e_program_${part} PROPERTIES TIMEOUT 900 ENVIRONMENT PURGIX_E2E_SHARD=${part}/2)
endforeach()
# The setup and its uninstaller, each case in a fresh prefix; tools/package must have built them.
add_test(NAME e2e_installer COMMAND ${PURGIX_E2E} ${PROJECT_SOURCE_DIR}/tests/e2e/installer.py ${PURGIX_E2E_ARGS}
  --zip ${PROJECT_SOURCE_DIR}/dist/Purgix-${PROJECT_VERSION}-win64.zip --setup ${PROJECT_SOURCE_DIR}/dist/Purgix-${PROJECT_VERSION}-setup.exe)
set_tests_properties(e2e_installer PROPERTIES TIMEOUT 600)

# Benchmarks (not a test tier): tools/bench runs them.
add_executable(bench_tick bench/TickBench.cpp res/Purgix.rc)
target_link_libraries(bench_tick PRIVATE purgix_throws purgix_win32 purgix_fakes psapi)
target_compile_options(bench_tick PRIVATE ${PURGIX_WARNINGS})
target_link_options(bench_tick PRIVATE ${PURGIX_STATIC_LINK})
add_executable(bench_release bench/ReleaseBench.cpp res/Purgix.rc)
target_link_libraries(bench_release PRIVATE purgix_throws purgix_win32)
target_compile_options(bench_release PRIVATE ${PURGIX_WARNINGS})
target_link_options(bench_release PRIVATE ${PURGIX_STATIC_LINK})

include(cmake/Assets.cmake)
