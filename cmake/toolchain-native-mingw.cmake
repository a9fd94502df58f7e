# Native build with MSYS2's mingw-w64 on Windows: the compilers on PATH, tests run directly.
set(CMAKE_RC_COMPILER windres)
