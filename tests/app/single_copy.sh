#!/usr/bin/env bash
# Two real copies of the program for one user: the second exits 0 at once and
# changes nothing; --close-running closes the first, which writes its
# settings and exits 0.
set -euo pipefail
exe=$1
dir=$(mktemp -d)
pid=
cleanup() { [ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$dir"; }
trap cleanup EXIT
unset DISPLAY WAYLAND_DISPLAY  # no desktop window: the program runs headless
export XDG_RUNTIME_DIR=$dir/run CORVELLA_REGISTRY=$dir/registry.reg
mkdir -m 700 "$XDG_RUNTIME_DIR"
fail() { echo "single_copy: $*" >&2; exit 1; }

"$exe" --headless &
pid=$!
for _ in $(seq 100); do [ -S "$XDG_RUNTIME_DIR/corvella/instance.sock" ] && break; sleep 0.1; done
[ -S "$XDG_RUNTIME_DIR/corvella/instance.sock" ] || fail "the first copy never listened"
cp "$CORVELLA_REGISTRY" "$dir/before.reg"

timeout 10 "$exe" --headless || fail "the second copy did not exit 0"
kill -0 "$pid" 2>/dev/null || fail "the first copy ended"
cmp -s "$CORVELLA_REGISTRY" "$dir/before.reg" || fail "the second copy changed the registry"

timeout 10 "$exe" --close-running || fail "--close-running failed"
status=0
wait "$pid" || status=$?
pid=
[ "$status" -eq 0 ] || fail "the first copy exited $status"

grep -q '^"Flags"=dword:d1140040' "$CORVELLA_REGISTRY" || fail "Flags not written"
grep -q '^"FontAsciiBase"=dword:000005d0' "$CORVELLA_REGISTRY" || fail "FontAsciiBase not written"
grep -q '^"Program Path"="' "$CORVELLA_REGISTRY" || fail "Program Path not written"
grep -qi '^\[HKEY_CURRENT_USER\\Software\\Tarnwick\\Corvella\]' "$CORVELLA_REGISTRY" || fail "settings key missing"

if timeout 10 "$exe" --close-running 2>/dev/null; then fail "--close-running with none running exited 0"; fi
echo "single_copy: ok"
