#!/usr/bin/env bash
# The real program on fixed dates, each run with an empty registry of its own:
# - started and closed again, it leaves the date's lesson as "Lesson";
# - a script that presses Right three times and Page Down twice leaves the
#   lesson three on, chosen by hand, at a later row;
# - a second copy started while the first is in front makes the first show
#   today's lesson again.
set -euo pipefail
exe=$1
sanitized=${2:-0}
command -v faketime >/dev/null || { echo "faketime is not installed"; exit 77; }
if [ "$sanitized" = 1 ]; then
  # libfaketime's wrappers and the sanitizer runtime abort the program in
  # its locks; the plain build runs these checks.
  echo "skipped in the sanitizer build"
  exit 77
fi
fail() { echo "today_under_faketime: $*" >&2; exit 1; }
unset DISPLAY WAYLAND_DISPLAY

dir=
fresh() {
  [ -z "$dir" ] || rm -rf "$dir"
  dir=$(mktemp -d)
  export XDG_RUNTIME_DIR=$dir CORVELLA_REGISTRY=$dir/registry.reg
}
trap '[ -z "$dir" ] || rm -rf "$dir"' EXIT
value() { grep "^\"$1\"=" "$CORVELLA_REGISTRY" | cut -d= -f2-; }
wait_listening() {
  for _ in $(seq 100); do [ -S "$dir/corvella/instance.sock" ] && return 0; sleep 0.1; done
  fail "the program never listened"
}

# Started and closed from outside: the date's lesson.
check_date() {  # date, expected lesson (8 hex digits)
  fresh
  faketime "$1" "$exe" --headless &
  local pid=$!
  wait_listening
  "$exe" --close-running || fail "close on $1"
  wait "$pid" || fail "exit code on $1"
  [ "$(value Lesson)" = "dword:$2" ] || fail "on $1: Lesson $(value Lesson)"
}
check_date '2008-09-30 12:00' 00000001
check_date '2009-09-18 12:00' 000000f5
check_date '2009-09-19 12:00' 00000001

# Keys from a script: three lessons on (with wrap from 245), two pages down.
fresh
printf 'key Right\nkey Right\nkey Right\nkey Next\nkey Next\nquit\n' > "$dir/keys.txt"
faketime '2009-09-17 12:00' "$exe" --headless --script "$dir/keys.txt" || fail "script run"
[ "$(value Lesson)" = "dword:00000002" ] || fail "keys: Lesson $(value Lesson)"  # 244 + 3 wraps to 2
[ "$(value LastPosition)" != "dword:00000000" ] && [ -n "$(value LastPosition)" ] || fail "keys: no position"
flags=$(value Flags)
(( (16#${flags#dword:} & 4) != 0 )) || fail "keys: Flags $flags without the hand-chosen bit"

# A second start while the first copy is in front: today's lesson again.
fresh
# The script ends after the screenshot; the copy keeps running.
printf 'key Right\nscreenshot %s\n' "$dir/stepped.png" > "$dir/step.txt"
faketime '2008-09-30 12:00' "$exe" --headless --script "$dir/step.txt" &
pid=$!
for _ in $(seq 100); do [ -f "$dir/stepped.png" ] && break; sleep 0.1; done
[ -f "$dir/stepped.png" ] || fail "the first copy never stepped"
faketime '2008-09-30 12:00' "$exe" --headless || fail "second copy"
"$exe" --close-running || fail "close"
wait "$pid" || fail "first copy's exit code"
[ "$(value Lesson)" = "dword:00000001" ] || fail "second start: Lesson $(value Lesson)"
[ "$(value Flags)" = "dword:d1140040" ] || fail "second start: Flags $(value Flags)"
echo "today_under_faketime: ok"
