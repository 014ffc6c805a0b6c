# Cross build of the deliverables for 32-bit Windows.
set(QUORVANE_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
