#!/usr/bin/env bash
# Developer entry point: installs what a fresh Debian machine lacks, builds, and
# either runs the reader or runs every test.
#
#   ./dev.sh run [reader options]   set up, build, start the reader (with no
#                                   display: a picture of its screen instead)
#   ./dev.sh test                   set up, build, run all tests (plain and
#                                   sanitizer builds, bounded fuzzing)
#   ./dev.sh setup                  only install the Debian packages
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(
  build-essential cmake ninja-build pkg-config clang
  libgtest-dev libgmock-dev libbenchmark-dev
  libsdl2-dev libfreetype-dev libfontconfig-dev libpng-dev libfribidi-dev
  fonts-dejavu-core culmus
  xvfb xauth faketime xdg-utils
)

setup() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  if ((${#missing[@]})); then
    echo "dev.sh: installing ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
  fi
}

jobs() { nproc 2>/dev/null || echo 2; }

build() { # build DIR [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$(jobs)"
}

cmd=${1:-}
shift || true
case "$cmd" in
  setup)
    setup ;;
  run)
    setup
    build build
    if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ $# -eq 0 ]; then
      # No desktop to show a window on: take a picture of the screen instead.
      shot=$PWD/build/corvella-screen.png
      printf 'screenshot %s\nquit\n' "$shot" > build/run-script.txt
      ./build/corvella --script build/run-script.txt
      echo "dev.sh: there is no display; the reader's screen is in $shot"
    else
      exec ./build/corvella "$@"
    fi ;;
  test)
    setup
    build build
    ctest --test-dir build --output-on-failure -j "$(jobs)"
    build build-asan -DCORVELLA_SANITIZE=ON
    ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      ctest --test-dir build-asan --output-on-failure -j "$(jobs)"
    if [ -x tests/fuzz/run.sh ]; then tests/fuzz/run.sh; fi
    echo "dev.sh: all tests passed" ;;
  *)
    echo "usage: ./dev.sh run [reader options] | ./dev.sh test | ./dev.sh setup" >&2
    exit 2 ;;
esac
