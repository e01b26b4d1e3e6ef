# 32-bit Windows: the product, and everything else where the host runs 32-bit Wine.
set(VTINST_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
