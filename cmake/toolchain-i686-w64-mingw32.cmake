# Cross build for 32-bit Windows, the deliverables' own target: compiled and linked, not run.
set(TL_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
