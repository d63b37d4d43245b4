#!/bin/bash
# Makes the record window's picture for help: the real program drilled on
# most days of a month, with misses, by keyboard alone.
# Needs what the end-to-end checks need, faketime, and optipng to make the file small.
# Usage: tools/record-picture.sh PROGRAM [PNG]   (default resources/Help/record.png)
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
picture="$(realpath -m "${2:-$here/resources/Help/record.png}")"
mode=picture
source "$here/tests/app/x11.sh"
art="$work"
# The program runs with its history in the scratch home; each step waits
# for the window it needs.
log="$art/e2e-$mode-program.log"
: >"$log"

# Days are counted in UTC, and the program's clock is moved by faketime.
# Qt's timers run on the monotonic clock, which must keep running as it is.
export TZ=UTC DONT_FAKE_MONOTONIC=1
export XDG_DATA_HOME="$work/home/.local/share"
data="$XDG_DATA_HOME/ravolin-memorel"
# Every grade in the memory's logs, in the order given: "g seq time day key grade check".
history() { cat "$data"/memory/*.log 2>/dev/null | grep '^g ' | sort -k3n; }
# The program runs from a folder of its own, so its settings land there.
app="$work/bin/$(basename "$1")"
install -D "$1" "$app"
printf 'Hide = 1\r\n' >"$work/bin/Ravmemo.ini"

# A deck in code page 932 of PAGES pages, Q1/A1 ..., 犬/dog last.
make_deck() {
  local i
  for ((i = 1; i < $1; i++)); do printf '\x1fQ%d\r\n\x1fA%d\r\n\x1f%d\r\n' "$i" "$i" $((i - 1)); done
  printf '\x1f\x8c\xa2\r\n\x1fdog\r\n\x1f%d\r\n' $(($1 - 1))
}
deck="$work/deck.rvm"

main='^Ravolin Memorel - '
message='^Ravolin Memorel$'


# Starts the program on the deck with its clock at DATE. faketime stays as
# its parent and tidies up after it once it ends; the cleanup ends the
# program itself.
start_at() {
  faketime "$1" "$app" "$deck" >>"$log" 2>&1 &
  program=$!
  wait_for pgrep -P "$program" >"$work/child" || fail "no program at $1"
  pids+=("$(cat "$work/child")")
  wait_for focused "$main" || fail "no main window at $1"
}
# Picks an item of the 学習 menu by its letter. The menu holds the keyboard
# while it shows, so no other key is sent until it has gone.
learn_menu() {
  xdotool key alt+l
  wait_for menu_shown || fail "no 学習 menu"
  xdotool key "$1"
  wait_for eval '! menu_shown' || fail "the 学習 menu stays"
}
# The message at the end of a drill; Return closes it.
drill_ends() {
  wait_for focused "$message" || fail "no message at the end of the drill $1"
  xdotool key Return
  wait_for absent "$message" && wait_for focused "$main" || fail "the message stays $1"
}
# Closing the window asks first; Yes ends the program.
close_program() {
  wmctrl -c "Ravolin Memorel - " || fail "no close request"
  wait_for focused "$message" || fail "no exit question"
  xdotool key alt+y
  wait_for eval '! kill -0 "$program"' || fail "program still running"
  unset 'pids[-1]'
}
# Uncovers each page of the drill in turn and grades it: 2 for 覚えた, 1
# for まだ.
grade() {
  local g
  for g in "$@"; do xdotool key ctrl+Return "ctrl+$g"; done
}
# The record window's figures: the colour of its bars shows once drawn.
record_shown() {
  import -window "$1" "$2" && convert "$2" -format %c histogram:info:- | grep -qi '#0072B2'
}
# Opens the record window and keeps a picture of it in FILE; Esc closes it.
record_picture() {
  learn_menu r
  wait_for focused '^学習の記録$' || fail "no record window"
  local id
  id="$(xdotool search --onlyvisible --name '^学習の記録$' | head -n1)"
  wait_for record_shown "$id" "$1" || fail "the record window shows no bars"
  xdotool key Escape
  wait_for absent '^学習の記録$' && wait_for focused "$main" || fail "the record window stays"
}

start_display
# Out of the way of every window, so no tooltip shows.
xdotool mousemove 1599 1199

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
