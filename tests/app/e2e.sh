#!/bin/bash
# Drives the real program in a real X window, only through its window:
# start with a deck, copy a page to the X clipboard, open help, drill by
# keyboard alone, grade each page, close and save as the exit question offers; then check the
# files written. The installed copy first runs its converter; the build
# tree's copy runs at twice the pixel density and leaves a screenshot, and
# without a locale, as on a fresh system: its titles must read right all
# the same. Each step waits for the window it needs to show and hold the
# keyboard, never for a fixed time, so a busy machine only makes it slower.
# Usage: e2e.sh tree PROGRAM HELPDIR ARTIFACTDIR     (a copy of the build)
#        e2e.sh installed BUILDDIR ARTIFACTDIR        (cmake --install into a scratch prefix)
set -uo pipefail
mode="$1"
source "$(dirname "$0")/x11.sh"
art="${!#}"  # the last argument
if [[ "$mode" == installed ]]; then
  cmake --install "$2" --prefix "$work/prefix" >/dev/null || { echo "FAIL: install"; exit 1; }
  app="$work/prefix/bin/ravolin-memorel"
  ini="$XDG_CONFIG_HOME/ravolin-memorel/Ravmemo.ini"
else
  # The program runs from a folder of its own, so its settings land there.
  app="$work/bin/$(basename "$2")"
  install -D "$2" "$app"
  cp -r "$3" "$work/bin/Help"
  ini="$work/bin/Ravmemo.ini"
fi
mkdir -p "$art" "$(dirname "$ini")"

# A stand-in browser that records what help asked it to open.
browser="$work/browser.sh"
printf '#!/bin/sh\nprintf "%%s\\n" "$@" > "%s"\n' "$work/browser.args" >"$browser"
chmod +x "$browser"
printf 'Hide = 1\r\nIEPlace = %s\r\n' "$browser" >"$ini"

# A deck of two pages in code page 932: Q1/A1 and 犬/dog, shown in that order.
deck="$work/my deck.rvm"
printf '\x1fQ1\r\n\x1fA1\r\n\x1f0\r\n\x1f\x8c\xa2\r\n\x1fdog\r\n\x1f1\r\n' >"$deck"

# The converter installed beside it: deck -> TSV -> deck byte for byte; a bad table writes nothing.
if [[ "$mode" == installed ]]; then
  conv="$work/prefix/bin/ravolin-memorel-convert"
  "$conv" "$deck" "$work/deck.tsv" && printf 'Q1\tA1\n犬\tdog\n' | cmp -s - "$work/deck.tsv" \
    && "$conv" --from tsv - "$work/back.rvm" <"$work/deck.tsv" && cmp -s "$deck" "$work/back.rvm" || fail "converter"
  printf '"open\n' | "$conv" - "$work/bad.rvm" --from csv 2>/dev/null
  [[ $? == 1 && ! -e "$work/bad.rvm" ]] || fail "converter wrote a bad table"
fi

start_display

# The path holds a blank: handed over as two arguments, joined again (else the
# deck saved at the end would not hold its pages). The build tree's copy
# shows at twice the pixel density, with no locale.
nolocale=()
if [[ "$mode" == tree ]]; then
  export QT_SCALE_FACTOR=2
  nolocale=(env -u LC_ALL -u LC_CTYPE -u LANG -u LANGUAGE)
fi
main='^Ravolin Memorel - '
"${nolocale[@]}" "$app" "$work/my" "deck.rvm" >"$art/e2e-$mode-program.log" 2>&1 &
program=$!
pids+=($program)
wait_for focused "$main" || fail "no main window"
if [[ "$mode" == tree ]]; then
  # With the Order dialog beside it: pictures, toolbar images, the icon and
  # the dialog's triangles, for a look.
  xdotool getactivewindow windowmove --sync 0 40 key F11
  wait_for focused '^順序変更$' || fail "no order dialog"
  xdotool getactivewindow windowmove --sync 860 40
  import -window root -crop 1600x800+0+0 "$art/e2e-$mode-x2.png"
  wmctrl -c '順序変更'
  wait_for absent '^順序変更$' && wait_for focused "$main" || fail "order dialog still open"
fi

# F7 copies the page to the X clipboard: kPageSeparator Q1 kPageSeparator A1.
xdotool key F7
wait_for eval '[[ "$(xclip -o -sel clip | od -An -tx1)" == " 1e 51 31 1e 41 31" ]]' || fail "clipboard"

# F1: help opens the installed page in the browser of the settings.
xdotool key F1
wait_for test -s "$work/browser.args"
page="$(cat "$work/browser.args" 2>/dev/null)"
[[ "$page" == */Help/Help.htm ]] && grep -q '一問一答' "$page" || fail "help opened '$page'"

# A drill from the keyboard alone. Tab goes into the covered answer, where
# typing does nothing and Space uncovers it; Ctrl+Return covers and uncovers,
# Ctrl+PageDown/PageUp step (appending on the last page), and Enter on a row
# of the jump list goes there. What was typed where shows in the saved deck.
xdotool key Tab; xdotool type z; xdotool key space; xdotool type a
xdotool key ctrl+Return; xdotool type q; xdotool key ctrl+Return; xdotool type b
xdotool key ctrl+Next; xdotool type n; xdotool key ctrl+Return; xdotool type c
xdotool key ctrl+Next; xdotool type new; xdotool key ctrl+Prior ctrl+plus F12
wait_for focused '^ｼﾞｬﾝﾌﾟ$' || fail "no jump dialog"
# The dialog opens on OK: Tab passes Cancel and reaches the list, on its
# first row; Enter there goes to that page and closes the dialog.
xdotool key Tab Tab Return
wait_for absent '^ｼﾞｬﾝﾌﾟ$' && wait_for focused "$main" || fail "jump dialog still open"
xdotool key ctrl+Return; xdotool type j

# 学習 > 今日の復習: each page uncovered and graded 覚えた (Ctrl+2), then the
# message at the end; one grade a page lands in the learner's memory.
xdotool key alt+l
wait_for menu_shown || fail "no 学習 menu"
xdotool key t
wait_for eval '! menu_shown' || fail "the 学習 menu stays"
xdotool key ctrl+Return ctrl+2 ctrl+Return ctrl+2 ctrl+Return ctrl+2
wait_for focused '^Ravolin Memorel$' || fail "no message at the end of the drill"
xdotool key Return
wait_for focused "$main" || fail "the message stays"
[[ "$(cat "$HOME"/.local/share/ravolin-memorel/memory/*.log | grep -c '^g ')" == 3 ]] || fail "grades kept"

# Close the window: the exit question offers to save first; Yes, under a new name.
wmctrl -c "Ravolin Memorel - " || fail "no close request"
wait_for focused '^Ravolin Memorel$' || fail "no exit question"
xdotool key alt+y
wait_for focused '名前を付けて保存' || fail "no Save As dialog"
xdotool type --delay 10 "$work/drill.rvm"
xdotool key Return
wait_for eval '! kill -0 "$program"' || fail "program still running"
same "$work/drill.rvm" '\x1fQ1\r\n\x1fjabA1\r\n\x1f0\r\n\x1f\x8c\xa2\r\n\x1fcdog\r\n\x1f1\r\n\x1f\r\n\x1fnew\r\n\x1f2\r\n'
same "$ini" 'Hide = 1\r\nIEPlace = %s\r\n' "$browser"

