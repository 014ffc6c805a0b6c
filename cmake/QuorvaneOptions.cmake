# Compiler settings per build kind. The Windows flags that must reach every object (SSE2 arithmetic,
# stack realignment, static runtime) live in the toolchain file.
add_compile_options(-Wall -Wextra -Werror=return-type)

if(QUORVANE_TARGET STREQUAL "windows")
  if(NOT WIN32)
    message(FATAL_ERROR "the windows preset needs cmake/toolchain-i686-mingw.cmake")
  endif()
  # Only the 8-bit ("A") API; Vista-level declarations (IsHungAppWindow, themes, TaskDialog-free).
  add_compile_definitions(_WIN32_WINNT=0x0600 WINVER=0x0600 _WIN32_IE=0x0600 NOMINMAX STRICT)
  # The files users get: the deliverables alone, optimised and stripped of their symbols.
  option(QUORVANE_RELEASE "build only the deliverables, stripped" OFF)
  if(QUORVANE_RELEASE)
    add_link_options(-s)
    set(QUORVANE_BUILD_TESTS OFF)
  else()
    set(QUORVANE_BUILD_TESTS ON)
  endif()
elseif(QUORVANE_TARGET STREQUAL "host")
  # Off only for the native benchmark build (bench-host), whose figures sanitizers would distort.
  option(QUORVANE_SANITIZE "build the native code with ASan and UBSan" ON)
  if(QUORVANE_SANITIZE)
    set(sanitizers -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    add_compile_options(${sanitizers})
    add_link_options(${sanitizers})
  endif()
  set(QUORVANE_BUILD_TESTS ON)
elseif(QUORVANE_TARGET STREQUAL "fuzz")
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "the fuzz preset needs clang")
  endif()
  set(sanitizers -fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_compile_options(${sanitizers})
  add_link_options(-fsanitize=address,undefined)
  set(QUORVANE_BUILD_TESTS OFF)
else()
  message(FATAL_ERROR "QUORVANE_TARGET must be windows, host or fuzz")
endif()

# Benchmarks are built on demand (tools/bench), never by the default target.
option(QUORVANE_BUILD_BENCH "configure benchmark targets" ON)

if(WIN32 AND CMAKE_SIZEOF_VOID_P EQUAL 4 AND CMAKE_HOST_UNIX)
  execute_process(COMMAND /usr/lib/wine/wine --version RESULT_VARIABLE wine32_rc OUTPUT_QUIET ERROR_QUIET)
  if(NOT wine32_rc EQUAL 0)
    message(STATUS "This machine cannot run 32-bit programs: the 32-bit build is built here, and its "
                   "tests run from the windows64 preset (the same sources, 64-bit, under wine64).")
  endif()
endif()
