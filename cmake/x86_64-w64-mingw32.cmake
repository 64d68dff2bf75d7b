# The x64 build of the same sources: the test bench where 32-bit programs
# cannot run. Never shipped.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VRB_ARCH x64)
set(VRB_MINGW x86_64-w64-mingw32)
set(VRB_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
