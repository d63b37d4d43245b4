#!/bin/sh
# Kills a save of a large deck at 20 moments spread over its run: each time
# the deck file is whole, either the old or the new one, and nothing else
# is left in its folder.  kill_save.sh SAVE_DECK WORK_FOLDER [PAGES]
set -eu
save=$1 work=$2 pages=${3:-60000}
rm -rf "$work"
mkdir -p "$work/ref" "$work/deck"
"$save" "$work/ref/old.rvm" "$pages" old
"$save" "$work/ref/new.rvm" "$pages" new
cp "$work/ref/old.rvm" "$work/deck/deck.rvm"
start=$(date +%s%N)
"$save" "$work/deck/deck.rvm" "$pages" old
span=$(( $(date +%s%N) - start ))
echo "one save of $(stat -c %s "$work/ref/new.rvm") bytes: $((span / 1000000)) ms"
fail=0
for i in $(seq 1 20); do
  if [ $((i % 2)) = 0 ]; then tag=old sig=TERM; else tag=new sig=KILL; fi
  "$save" "$work/deck/deck.rvm" "$pages" $tag &
  pid=$!
  sleep "$(awk "BEGIN { print $span * $i / 21 / 1e9 }")"
  kill -s $sig $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
  left=$(ls -A "$work/deck" | tr '\n' ' ')
  [ "$left" = "deck.rvm " ] || { echo "kill $i: left $left"; fail=1; }
  cmp -s "$work/deck/deck.rvm" "$work/ref/old.rvm" || cmp -s "$work/deck/deck.rvm" "$work/ref/new.rvm" ||
    { echo "kill $i: the deck is neither the old nor the new one"; fail=1; }
done
rm -rf "$work"
exit $fail
