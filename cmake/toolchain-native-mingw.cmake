# Native build with MSYS2's mingw-w64 on Windows: the compilers on PATH, tests run directly.
set(CMAKE_RC_COMPILER windres)
set(KIVO_BOOST_HEADERS "$ENV{MINGW_PREFIX}/include/boost" CACHE PATH "")
set(KIVO_GTEST_SOURCE "" CACHE PATH "")
