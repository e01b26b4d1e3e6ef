# 64-bit Windows: tests, stand-ins, demo and benchmarks on hosts that only run wine64.
set(VTINST_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
