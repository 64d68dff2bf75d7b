# Cross build for Windows with mingw-w64, included by the two toolchain files
# after they set VRB_MINGW (the target triplet) and VRB_WINE (the Wine loader
# that runs the build's programs). The tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER   ${VRB_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${VRB_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER  ${VRB_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VRB_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# The loader named, not /usr/bin/wine: that one takes the 32-bit loader
# whenever it is installed, whether or not it can run here.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINELOADER=${VRB_WINE} ${VRB_WINE})
