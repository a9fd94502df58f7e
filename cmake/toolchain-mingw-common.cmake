set(CMAKE_C_COMPILER   ${KIVO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KIVO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${KIVO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KIVO_TRIPLE})
# Never let the host's headers or libraries leak into the cross build.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Tests run under Wine through the project's own wrapper (its prefix, its display).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
