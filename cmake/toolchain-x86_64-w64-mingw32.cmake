# Cross build for 64-bit Windows; the test target, run under Wine.
set(TL_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
# CTest runs the test programs through Wine.
set(CMAKE_CROSSCOMPILING_EMULATOR wine)
