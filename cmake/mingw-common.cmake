# Shared by the toolchain files: MinGW-w64 with the win32 thread model. Its runtime needs nothing
# newer than Windows XP SP3 (the posix model's thread library imports SRW locks and GetTickCount64).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${VTINST_MINGW_ARCH})

set(CMAKE_C_COMPILER   ${VTINST_MINGW_ARCH}-w64-mingw32-gcc-win32)
set(CMAKE_CXX_COMPILER ${VTINST_MINGW_ARCH}-w64-mingw32-g++-win32)
set(CMAKE_RC_COMPILER  ${VTINST_MINGW_ARCH}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${VTINST_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
