#!/bin/sh
# Kills the converter at 20 moments spread over a save of a large deck: each
# time the deck file is whole, either the old or the new one, and nothing else
# is left in its folder.  kill_save.sh CONVERTER WORK_FOLDER
set -eu
conv=$1 work=$2
rm -rf "$work"
mkdir -p "$work/ref" "$work/deck"
for tag in old new; do
  # The most pages a deck holds, each of some 400 bytes with a line break.
  awk -v tag=$tag 'BEGIN { pad = sprintf("%380s", ""); gsub(/ /, "q", pad)
    for (k = 0; k < 32768; k++) printf "%s 問題 %d %s\t\"答え\n%d\"\n", tag, k, pad, k }' >"$work/$tag.tsv"
  "$conv" "$work/$tag.tsv" "$work/ref/$tag.rvm"
done
cp "$work/ref/old.rvm" "$work/deck/deck.rvm"
start=$(date +%s%N)
"$conv" "$work/old.tsv" "$work/deck/deck.rvm"
span=$(( $(date +%s%N) - start ))
echo "one save of $(stat -c %s "$work/ref/new.rvm") bytes: $((span / 1000000)) ms"
fail=0
for i in $(seq 1 20); do
  if [ $((i % 2)) = 0 ]; then tag=old sig=TERM; else tag=new sig=KILL; fi
  "$conv" "$work/$tag.tsv" "$work/deck/deck.rvm" &
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
