# Shared by scripts/test and scripts/run: install what is missing, then configure and build.
set -euo pipefail
KIVO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-build}
case "$BUILD_DIR" in /*) ;; *) BUILD_DIR="$KIVO_ROOT/$BUILD_DIR" ;; esac

# command that proves a package is there -> Debian package that brings it
KIVO_NEEDS=(
  "cmake:cmake"
  "ninja:ninja-build"
  "x86_64-w64-mingw32-g++-posix:g++-mingw-w64-x86-64-posix"
  "i686-w64-mingw32-g++-posix:g++-mingw-w64-i686-posix"
  "x86_64-w64-mingw32-windres:binutils-mingw-w64-x86-64"
  "wine:wine"
  "/usr/lib/wine/wine64:wine64"
  "Xvfb:xvfb"
  "xauth:xauth"
  "/usr/include/boost/version.hpp:libboost-dev"
  "/usr/src/googletest/CMakeLists.txt:googletest"
  "makensis:nsis"
  "import:imagemagick"
  "flock:util-linux"
  "/usr/share/wine/fonts/marlett.ttf:fonts-wine"
)

kivo_install_missing() {
  local missing=() item probe pkg
  for item in "${KIVO_NEEDS[@]}"; do
    probe=${item%%:*}; pkg=${item#*:}
    if [[ $probe == /* ]]; then [ -e "$probe" ] && continue
    else command -v "$probe" >/dev/null 2>&1 && continue; fi
    missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then sudo=sudo; fi
  $sudo apt-get update -q
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

kivo_build() {
  # Configuring again is cheap and picks up library folders that arrived since the last build.
  if [ -f "$BUILD_DIR/CMakeCache.txt" ]; then
    cmake -S "$KIVO_ROOT" -B "$BUILD_DIR" -DKIVO_WERROR=ON >/dev/null
  else
    cmake -S "$KIVO_ROOT" -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-RelWithDebInfo}" -DKIVO_WERROR=ON
  fi
  cmake --build "$BUILD_DIR" -j "$(nproc)"
}
