#!/bin/bash
# Drills the real program in a real X window over days of a faked clock,
# by keyboard alone: 今日の復習 through the 学習 menu, each page uncovered
# and graded 覚えた, the message at the end; the same day again, when
# nothing is due; the next day, when every page is back; then the record
# window. Checked in the files: the deck is never written, and the history
# in the data folder holds each grade once, on its day. Each step waits for
# the window it needs, never for a fixed time.
# Usage: e2e_learn.sh PROGRAM ARTIFACTDIR
#        e2e_learn.sh --picture PROGRAM PNG   the record window after a month
#                                             of drills with misses, for help
set -uo pipefail
picture=
if [[ "$1" == --picture ]]; then picture="$3"; shift; fi
mode=learn
source "$(dirname "$0")/x11.sh"
art="${picture:+$work}"
art="${art:-$2}"
mkdir -p "$art"
log="$art/e2e-$mode-program.log"
: >"$log"

# Days are counted in UTC, and the program's clock is moved by faketime.
# Qt's timers run on the monotonic clock, which must keep running as it is.
export TZ=UTC DONT_FAKE_MONOTONIC=1
export XDG_DATA_HOME="$work/home/.local/share"
data="$XDG_DATA_HOME/ravolin-memorel"
# The grades kept so far, oldest first: "number day key grade check".
history() { cat "$data"/*.rvmlearn.log 2>/dev/null; }
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

start_display
# Out of the way of every window, so no tooltip shows.
xdotool mousemove 1599 1199

main='^Ravolin Memorel - '
message='^Ravolin Memorel$'
# A menu of the program shows: of its windows only a popup (a menu, or a
# tooltip, kept away by the pointer's place) bypasses the window manager.
menu_shown() {
  local id
  for id in $(xdotool search --onlyvisible --class '^ravolin-memorel$'); do
    xwininfo -id "$id" | grep -q 'Override Redirect State: yes' && return 0
  done
  return 1
}

# The learning day of a date (UTC), as the history counts it.
day_of() { echo $((($(date -ud "$1" +%s) - 4 * 3600) / 86400)); }

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
  import -window "$1" "$2" && convert "$2" -format %c histogram:info:- | grep -qi '#3A9A4A'
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

if [[ -n "$picture" ]]; then
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
  optipng -quiet -o7 -strip all "$picture" 2>/dev/null
  exit 0
fi

make_deck 3 >"$deck"
cp "$deck" "$work/deck.before"
# The history holds grades 1..N, all 覚えた, the last COUNT on DAY, each of
# the deck's 3 pages graded as often as the others.
graded() {
  history | awk -v n="$1" -v from=$(($1 - $2)) -v day="$3" '
    $1 != NR || $4 != 1 || NF != 5 || (NR > from && $2 != day) { exit 1 }
    { times[$3]++ }
    END { for (k in times) if (times[k] != n / 3 || ++pages > 3) exit 1; if (NR != n) exit 1 }' ||
    { history; fail "$4"; }
}

# Day 1: every page is new.
day1="2026-12-01 12:00:00" day2="2026-12-02 12:00:00"
start_at "$day1"
learn_menu t
grade 2 2 2
drill_ends "on day 1"
close_program
cmp -s "$deck" "$work/deck.before" || fail "the deck was written on day 1"
[[ -f "$(echo "$data"/*.rvmlearn.log)" ]] || fail "not one history log in $data"
graded 3 3 "$(day_of "$day1")" "day 1's grades"
history >"$work/history.day1"

# The same day late at night: nothing is due before 4:00.
start_at "2026-12-02 03:30:00"
learn_menu t
drill_ends "late on day 1"
close_program
history | cmp -s - "$work/history.day1" || fail "grades added late on day 1"

# Day 2: the pages known on day 1 are back, once each.
start_at "$day2"
learn_menu t
grade 2 2 2
drill_ends "on day 2"
graded 6 3 "$(day_of "$day2")" "day 2's grades"
record_picture "$art/e2e-$mode-record.png"
close_program
cmp -s "$deck" "$work/deck.before" || fail "the deck was written on day 2"
