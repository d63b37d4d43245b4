#!/bin/bash
# Drills the real program in a real X window over days of a faked clock,
# by keyboard alone: 今日の復習 through the 学習 menu, each page uncovered
# and graded 覚えた, the message at the end; the next day, when every page
# is back; then the record window. Checked in the files: the deck is never
# written, and the memory in the data folder holds each grade once, on its
# day. Each step waits for the window it needs, never for a fixed time.
# Usage: e2e_learn.sh PROGRAM ARTIFACTDIR
set -uo pipefail
mode=learn
source "$(dirname "$0")/x11.sh"
art="$2"
mkdir -p "$art"
source "$(dirname "$0")/learn.sh" "$1"

make_deck 3 >"$deck"
cp "$deck" "$work/deck.before"
# The memory holds N grades, all 覚えた, the last COUNT on DAY, each of
# the deck's 3 pages graded as often as the others.
graded() {
  history | awk -v n="$1" -v from=$(($1 - $2)) -v day="$3" '
    $6 != 1 || NF != 7 || (NR > from && $4 != day) { exit 1 }
    { times[$5]++ }
    END { for (k in times) if (times[k] != n / 3 || ++pages > 3) exit 1; if (NR != n) exit 1 }' ||
    { history; fail "$4"; }
}

# Day 1: every page is new.
day1="2026-12-01 12:00:00" day2="2026-12-04 12:00:00"
start_at "$day1"
learn_menu t
grade 2 2 2
drill_ends "on day 1"
close_program
cmp -s "$deck" "$work/deck.before" || fail "the deck was written on day 1"
[[ -f "$(echo "$data"/memory/*.log)" ]] || fail "not one memory log in $data/memory"
graded 3 3 "$(day_of "$day1")" "day 1's grades"

# Three days on: the pages known at once on day 1 are back, once each.
start_at "$day2"
learn_menu t
grade 2 2 2
drill_ends "on day 2"
graded 6 3 "$(day_of "$day2")" "day 2's grades"
record_picture "$art/e2e-$mode-record.png"
close_program
cmp -s "$deck" "$work/deck.before" || fail "the deck was written on day 2"
