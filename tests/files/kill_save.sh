#!/bin/sh
# Kills the converter at moments spread over saves of a large deck, and each
# time the old deck survives:
# - 20 kills in a folder that takes new files: the deck is whole, the old or
#   the new one, and after the next save into the folder nothing else is in it;
# - 30 kills, as an ordinary user, in a folder that takes no new file (the
#   deck is rewritten in place), half of them aimed at the moment the deck is
#   written: the deck is whole, or reading it names the copy of the old deck
#   kept in the user's data folder.
# kill_save.sh CONVERTER WORK_FOLDER
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
printf 'q\ta\n' >"$work/tiny.tsv"
fail=0
bad() { echo "$1"; fail=1; }
# Milliseconds one save of TSV into DECK takes, run as USER ("" for us).
span() {
  start=$(date +%s%N)
  $1 "$conv" "$2" "$3"
  echo $(( ($(date +%s%N) - start) / 1000000 ))
}
whole() { cmp -s "$1" "$work/ref/old.rvm" || cmp -s "$1" "$work/ref/new.rvm"; }
# Runs USER's save of TAG into DECK and kills it with SIG after MS
# milliseconds; with "aimed", once DECK changes, after MS turns of a loop.
kill_save() {
  touch "$work/mark"
  $1 "$conv" "$work/$2.tsv" "$3" &
  pid=$!
  if [ "${6:-}" = aimed ]; then
    until [ "$3" -nt "$work/mark" ] || ! kill -0 $pid 2>/dev/null; do :; done
    n=0
    while [ $n -lt "$5" ]; do n=$((n + 1)); done
  else
    sleep "$(awk "BEGIN { print $5 / 1000 }")"
  fi
  kill -s "$4" $pid 2>/dev/null || true
  wait $pid 2>/dev/null || true
}

cp "$work/ref/old.rvm" "$work/deck/deck.rvm"
ms=$(span "" "$work/old.tsv" "$work/deck/deck.rvm")
echo "one save of $(stat -c %s "$work/ref/new.rvm") bytes: $ms ms"
for i in $(seq 1 20); do
  if [ $((i % 2)) = 0 ]; then tag=old sig=TERM; else tag=new sig=KILL; fi
  kill_save "" $tag "$work/deck/deck.rvm" $sig $((ms * i / 21))
  whole "$work/deck/deck.rvm" || bad "kill $i: the deck is neither the old nor the new one"
  "$conv" "$work/tiny.tsv" "$work/deck/tiny.rvm"
  left=$(ls -A "$work/deck" | tr '\n' ' ')
  [ "$left" = "deck.rvm tiny.rvm " ] || bad "kill $i: left $left"
done

# In place, as an ordinary user (made for the test when we are root), whose
# copies of decks go to its own data folder.
inplace=$(mktemp -d)
mkdir "$inplace/deck" "$inplace/data"
cp "$conv" "$inplace"
conv=$inplace/$(basename "$conv") deck=$inplace/deck/deck.rvm
saves=$inplace/data/ravolin-memorel/saves
cp "$work/ref/old.rvm" "$deck"
if [ "$(id -u)" = 0 ]; then
  id rvmtest >/dev/null 2>&1 || useradd --system --no-create-home rvmtest
  chown -R rvmtest "$inplace"
  chmod 755 "$work" && chmod 644 "$work"/*.tsv "$work/ref/old.rvm"
  user="setpriv --reuid=rvmtest --regid=$(id -g rvmtest) --clear-groups"
else
  user=""
fi
chmod 555 "$inplace/deck"
export XDG_DATA_HOME="$inplace/data"
ms=$(span "$user" "$work/old.tsv" "$deck")
echo "one save in place: $ms ms"
copies=0
for i in $(seq 1 30); do
  if [ $((i % 3)) = 0 ]; then sig=TERM; else sig=KILL; fi
  $user cp "$work/ref/old.rvm" "$deck"
  rm -f "$saves"/*
  if [ $((i % 2)) = 0 ]; then
    kill_save "$user" new "$deck" $sig $((i % 4 * 5)) aimed
  else
    kill_save "$user" new "$deck" $sig $((ms * i / 31))
  fi
  if ! whole "$deck"; then
    # The converter refuses the deck, naming the copy: ...[COPY]にあります。
    copy=$($user "$conv" "$deck" "$inplace/out.tsv" 2>&1 | sed -n 's/.*保存する前の内容は\[\(.*\)\]にあります。$/\1/p')
    # From standard input too, the same refusal.
    st=0; $user "$conv" --from rvm - "$inplace/out.tsv" <"$deck" 2>/dev/null || st=$?
    [ $st = 1 ] || bad "kill $i in place: the cut-off deck converts from standard input"
    if [ -n "$copy" ] && cmp -s "$copy" "$work/ref/old.rvm"; then
      copies=$((copies + 1))
    else
      bad "kill $i in place: the deck is damaged and no copy of the old one is offered"
    fi
  fi
done
echo "30 kills in place: $copies left the deck cut off, each time with the old deck offered back"
chmod 755 "$inplace/deck"
rm -rf "$inplace" "$work"
exit $fail
