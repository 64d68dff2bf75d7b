# The x86 build: what ships.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(VRB_ARCH x86)
set(VRB_MINGW i686-w64-mingw32)
set(VRB_WINE /usr/lib/wine/wine)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
