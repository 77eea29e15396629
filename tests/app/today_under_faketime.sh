#!/usr/bin/env bash
# The real program on fixed dates, with an empty registry: started and closed
# again, it leaves the date's lesson as "Lesson".
set -euo pipefail
exe=$1
command -v faketime >/dev/null || { echo "faketime is not installed"; exit 77; }
fail() { echo "today_under_faketime: $*" >&2; exit 1; }
unset DISPLAY WAYLAND_DISPLAY
# The sanitizer runtime must come first; faketime preloads its own library.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"

check() {  # date, expected lesson (hex, 8 digits)
  local dir
  dir=$(mktemp -d)
  XDG_RUNTIME_DIR=$dir CORVELLA_REGISTRY=$dir/registry.reg faketime "$1" "$exe" --headless &
  local pid=$!
  for _ in $(seq 100); do [ -S "$dir/corvella/instance.sock" ] && break; sleep 0.1; done
  XDG_RUNTIME_DIR=$dir CORVELLA_REGISTRY=$dir/registry.reg "$exe" --close-running || fail "close on $1"
  wait "$pid" || fail "exit code on $1"
  grep -q "^\"Lesson\"=dword:$2\$" "$dir/registry.reg" || fail "on $1: $(grep Lesson "$dir/registry.reg")"
  rm -rf "$dir"
}

check '2008-09-30 12:00' 00000001
check '2009-09-18 12:00' 000000f5
check '2009-09-19 12:00' 00000001
echo "today_under_faketime: ok"
