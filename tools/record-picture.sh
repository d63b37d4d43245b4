#!/bin/bash
# Makes the record window's picture for help: the real program drilled on
# most days of a month, with misses, through the learning check's steps.
# Needs what the end-to-end checks need, and optipng to make the file small.
# Usage: tools/record-picture.sh PROGRAM [PNG]   (default resources/Help/record.png)
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
picture="$(realpath -m "${2:-$here/resources/Help/record.png}")"
mode=picture
source "$here/tests/app/x11.sh"
art="$work"
source "$here/tests/app/learn.sh" "$1"

# A deck larger than a day's new pages, drilled on most days of a month,
# about one first try in four missed.
pages=24
make_deck $pages >"$deck"
# Grades the drill through to its end, about one try in four missed (a
# page missed comes back later in the drill, to be known then). Each grade
# waits for its line in the memory's logs; the message at the end follows
# the last one at once.
drill_through() {
  local n=0 kept
  while ! xdotool search --onlyvisible --name "$message" >/dev/null; do
    kept=$(history | wc -l)
    if (((d * 7 + n * 5) % 4 == 0)); then grade 1; else grade 2; fi
    wait_for eval "(( \$(history | wc -l) > kept ))" || fail "a grade not kept on $when"
    n=$((n + 1))
    sleep 0.3
  done
}
for d in 1 2 3 5 6 8 9 10 12 15 16 17 19 22 23 24 26 27 29 30; do
  when="2026-11-$(printf %02d $d) 20:00:00"
  start_at "$when"
  learn_menu t
  sleep 0.3
  drill_through
  drill_ends "on $when"
  [[ "$d" == 30 ]] && record_picture "$work/record.png"
  close_program
done
cp "$work/record.png" "$picture"
optipng -quiet -o7 -strip all "$picture" 2>/dev/null || echo "no optipng: $picture is left as large as it was taken"
