#!/bin/bash
# Drives the real program in a real X window, only through its window:
# start with a deck, read the title, copy a page, type, save under a typed
# name, close and answer the exit question; then check the files written.
# From the build tree also a drill by keyboard alone and a screenshot of the
# window at twice the pixel density.
# Usage: e2e.sh tree PROGRAM HELPDIR ARTIFACTDIR     (a copy of the build)
#        e2e.sh installed BUILDDIR ARTIFACTDIR        (cmake --install into a scratch prefix)
set -uo pipefail
mode="$1"
work="$(mktemp -d)"
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/decks"
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
if [[ "$mode" == installed ]]; then
  art="$3"
  cmake --install "$2" --prefix "$work/prefix" >/dev/null || { echo "FAIL: install"; exit 1; }
  app="$work/prefix/bin/ravolin-memorel"
  ini="$XDG_CONFIG_HOME/ravolin-memorel/Ravmemo.ini"
else
  # The program runs from a folder of its own, so its settings land there.
  art="$4"
  mkdir -p "$work/bin"
  cp "$2" "$work/bin/"
  cp -r "$3" "$work/bin/Help"
  app="$work/bin/$(basename "$2")"
  ini="$work/bin/Ravmemo.ini"
fi
mkdir -p "$art" "$(dirname "$ini")"
fail() { echo "FAIL ($mode): $*"; import -display "$DISPLAY" -window root "$art/e2e-$mode-failure.png" 2>/dev/null; exit 1; }

# The id of the first visible window whose name matches, waiting up to 5 s.
find_window() {
  local id=""
  for _ in $(seq 50); do
    id="$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1)"
    [[ -n "$id" ]] && break
    sleep 0.1
  done
  echo "$id"
}

# A stand-in browser that records what help asked it to open.
browser="$work/browser.sh"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s"\n' "$work/browser.args" >"$browser"
chmod +x "$browser"
printf 'Hide = 1\r\nIEPlace = %s\r\n' "$browser" >"$ini"

for n in $(seq 90 140); do [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] || break; done
export DISPLAY=":$n"
Xvfb "$DISPLAY" -screen 0 1600x1200x24 -nolisten tcp >/dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

# A deck of two pages in code page 932: Q1/A1 and 犬/dog, shown in that order.
deck="$work/decks/my deck.rvm"
printf '\x1fQ1\r\n\x1fA1\r\n\x1f0\r\n\x1f\x8c\xa2\r\n\x1fdog\r\n\x1f1\r\n' >"$deck"

# The converter installed beside it: deck -> TSV -> deck byte for byte; a bad table writes nothing.
if [[ "$mode" == installed ]]; then
  conv="$work/prefix/bin/ravolin-memorel-convert"
  "$conv" "$deck" "$work/deck.tsv" && printf 'Q1\tA1\n犬\tdog\n' | cmp -s - "$work/deck.tsv" \
    && "$conv" --from tsv - "$work/back.rvm" <"$work/deck.tsv" && cmp -s "$deck" "$work/back.rvm" || fail "converter"
  printf '"open\n' | "$conv" - "$work/bad.rvm" --from csv 2>/dev/null
  [[ $? == 1 && ! -e "$work/bad.rvm" ]] || fail "converter wrote a bad table"
fi

# The path holds a blank: handed over as two arguments, joined again.
"$app" "$work/decks/my" "deck.rvm" >"$art/e2e-program.log" 2>&1 &
app_pid=$!
pids+=($app_pid)

win="$(find_window '^Ravolin Memorel - ')"
[[ -n "$win" ]] || fail "no main window"
title="$(xdotool getwindowname "$win")"
[[ "$title" == "Ravolin Memorel - $deck" ]] || fail "title is '$title'"
xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus --sync "$win"
sleep 0.3

# F7 copies the page: RS Q1 RS A1.
xdotool key F7
sleep 0.3
clip="$(xclip -o -selection clipboard | od -An -tx1 | tr -d ' \n')"
[[ "$clip" == "1e51311e4131" ]] || fail "clipboard holds $clip"

# Type into the question, step to the next page and back.
xdotool type --delay 20 "typed "
xdotool key F12 Escape  # the jump dialog ignores Esc; Cancel it with the keyboard
sleep 0.3
[[ -n "$(find_window '^ｼﾞｬﾝﾌﾟ$')" ]] || fail "no jump dialog"
xdotool key Tab space  # OK has the focus first; Tab to Cancel and press it
sleep 0.3
xdotool search --onlyvisible --name '^ｼﾞｬﾝﾌﾟ$' >/dev/null 2>&1 && fail "jump dialog still open"

# F1: help opens the shipped page in the browser of the settings.
xdotool key F1
for _ in $(seq 50); do [[ -s "$work/browser.args" ]] && break; sleep 0.1; done
page="$(cat "$work/browser.args" 2>/dev/null)"
[[ "$page" == */Help/Help.htm && -f "$page" ]] || fail "help opened '$page'"
grep -q '一問一答' "$page" || fail "help page is not ours"

# F4: Save As, with a file name typed into the dialog.
xdotool key F4
dlg="$(find_window '名前を付けて保存')"
[[ -n "$dlg" ]] || fail "no Save As dialog"
sleep 0.5
xdotool windowactivate --sync "$dlg" 2>/dev/null
out="$work/decks/saved.rvm"
xdotool type --delay 10 "$out"
xdotool key Return
for _ in $(seq 50); do
  [[ "$(xdotool getwindowname "$win")" == "Ravolin Memorel - $out" ]] && break
  sleep 0.1
done
[[ "$(xdotool getwindowname "$win")" == "Ravolin Memorel - $out" ]] || fail "title after save: $(xdotool getwindowname "$win")"
import -window root "$art/e2e-$mode.png"

# A drill from the keyboard alone. Tab goes into the covered answer, where
# typing does nothing and Space uncovers it; Ctrl+Return covers and uncovers,
# Ctrl+PageDown/PageUp step (appending on the last page), and Enter on a row
# of the jump list goes there. What was typed where shows in the saved deck.
if [[ "$mode" == tree ]]; then
  drill="$work/decks/drill.rvm"
  xdotool key Tab; xdotool type z; xdotool key space; xdotool type a
  xdotool key ctrl+Return; xdotool type q; xdotool key ctrl+Return; xdotool type b
  xdotool key ctrl+Next; xdotool type n; xdotool key ctrl+Return; xdotool type c
  xdotool key ctrl+Next; xdotool type new; xdotool key ctrl+Prior ctrl+plus
  xdotool key F12
  [[ -n "$(find_window '^ｼﾞｬﾝﾌﾟ$')" ]] || fail "no jump dialog for the drill"
  sleep 0.3
  # The dialog kept its focus on Cancel from its first use: Tab reaches the
  # list, whose first row the keyboard is then on.
  xdotool key Tab Return
  sleep 0.3
  xdotool search --onlyvisible --name '^ｼﾞｬﾝﾌﾟ$' >/dev/null 2>&1 && fail "Enter on a row left the jump dialog open"
  xdotool key ctrl+Return; xdotool type j
  xdotool key F4
  dlg="$(find_window '名前を付けて保存')"
  [[ -n "$dlg" ]] || fail "no Save As dialog after the drill"
  sleep 0.5
  xdotool windowactivate --sync "$dlg" 2>/dev/null
  xdotool type --delay 10 "$drill"
  xdotool key Return
  for _ in $(seq 50); do
    [[ "$(xdotool getwindowname "$win")" == "Ravolin Memorel - $drill" ]] && break
    sleep 0.1
  done
  expected="$(printf '\x1ftyped Q1\r\n\x1fjabA1\r\n\x1f0\r\n\x1f\x8c\xa2\r\n\x1fcdog\r\n\x1f1\r\n\x1f\r\n\x1fnew\r\n\x1f2\r\n' | od -An -tx1)"
  [[ "$(od -An -tx1 "$drill" 2>/dev/null)" == "$expected" ]] || { od -c "$drill"; fail "drilled deck differs"; }
fi

# Close the window: the exit question comes; answer Yes.
wmctrl -c "Ravolin Memorel - " || fail "no close request"
box="$(find_window '^Ravolin Memorel$')"
[[ -n "$box" ]] || fail "no exit question"
sleep 0.3
xdotool windowactivate --sync "$box" 2>/dev/null
xdotool key alt+y
for _ in $(seq 50); do kill -0 "$app_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$app_pid" 2>/dev/null && fail "program still running"

expected="$(printf '\x1ftyped Q1\r\n\x1fA1\r\n\x1f0\r\n\x1f\x8c\xa2\r\n\x1fdog\r\n\x1f1\r\n' | od -An -tx1)"
[[ "$(od -An -tx1 "$out")" == "$expected" ]] || { od -c "$out"; fail "saved deck differs"; }
[[ "$(od -An -tx1 "$ini")" == "$(printf 'Hide = 1\r\nIEPlace = %s\r\n' "$browser" | od -An -tx1)" ]] \
  || { od -c "$ini"; fail "settings file differs"; }
if [[ "$mode" == tree ]]; then
  # The text size chosen in the drill was kept for the next run.
  grep -q '^pointSize=' "$XDG_CONFIG_HOME/ravolin-memorel/view.conf" || fail "text size not kept"
  # The window at twice the pixel density, with the Order dialog beside it:
  # pictures, toolbar images, the icon and the dialog's triangles, for a look.
  QT_SCALE_FACTOR=2 "$app" "$drill" >>"$art/e2e-program.log" 2>&1 &
  pids+=($!)
  win="$(find_window '^Ravolin Memorel - ')"
  [[ -n "$win" ]] || fail "no main window at scale 2"
  xdotool windowmove "$win" 0 40
  xdotool windowactivate --sync "$win" 2>/dev/null
  sleep 0.3
  xdotool key F11
  dlg="$(find_window '^順序変更$')"
  [[ -n "$dlg" ]] || fail "no order dialog at scale 2"
  xdotool windowmove "$dlg" 860 40
  sleep 0.5
  import -window root -crop 1600x800+0+0 "$art/e2e-$mode-x2.png"
fi
echo "1 passed, 0 failed"
