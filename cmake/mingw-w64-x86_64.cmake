# Cross-build of the standard-C++ core for 64-bit Windows. Executables link statically so
# they run under Wine without any DLL beside them.
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64-dlls.cmake)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# ctest runs the test programs through Wine.
find_program(PELKORL_WINE NAMES wine wine64 REQUIRED)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PELKORL_WINE})
