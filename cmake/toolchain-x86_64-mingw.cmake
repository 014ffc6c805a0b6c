# Cross build for 64-bit Windows: the same sources as the 32-bit deliverables, so that the Windows
# tests can run under wine64 on machines whose kernel cannot run 32-bit programs.
set(QUORVANE_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
