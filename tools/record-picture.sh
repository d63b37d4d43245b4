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
for d in 1 2 3 5 6 8 9 10 12 15 16 17 19 22 23 24 26 27 29 30; do
  when="2026-11-$(printf %02d $d) 20:00:00"
  today=$(day_of "$when")
  # What comes due (and up to 20 new pages a day), replayed from the
  # grades so far as the program does.
  due=$(history | awk -v today="$today" -v pages=$pages '
    $4 == 0 { stage[$3] = 0; due[$3] = $2 }
    $4 == 1 && (!($3 in due) || due[$3] <= $2) {
      stage[$3] = stage[$3] < 8 ? stage[$3] + 1 : 8; due[$3] = $2 + 2 ^ (stage[$3] - 1) }
    END { for (k in due) { seen++; if (due[k] <= today) n++ }
          fresh = pages - seen; print n + (fresh < 20 ? fresh : 20) }')
  # A page missed comes back later in the same drill, to be known then.
  keys=() again=()
  for ((i = 0; i < due; i++)); do
    if (((d * 7 + i * 5) % 4 == 0)); then keys+=(1) again+=(2); else keys+=(2); fi
  done
  start_at "$when"
  learn_menu t
  grade "${keys[@]}" "${again[@]}"
  drill_ends "on $when"
  [[ "$d" == 30 ]] && record_picture "$work/record.png"
  close_program
done
cp "$work/record.png" "$picture"
optipng -quiet -o7 -strip all "$picture" 2>/dev/null || echo "no optipng: $picture is left as large as it was taken"
