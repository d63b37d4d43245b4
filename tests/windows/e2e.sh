#!/bin/bash
# The Windows program under Wine in a real X window, by keyboard alone:
# from a folder with blanks, a deck under a Japanese name whose title
# shows, a page stepped to, its answer uncovered, typed into and saved (the
# bytes checked), help opened in the browser of the settings, a drill's
# grade kept in the learner's memory, the exit question answered and the
# settings written. Then the installer installs silently for all users,
# the installed program starts on the deck, and the uninstaller leaves the
# settings and the memory. Each step waits, within a limit, for the
# window it needs.
# Usage: e2e.sh BUILD ARTIFACTDIR   (BUILD: tools/windows-package.sh's folder)
set -uo pipefail
mode=windows
source "$(dirname "$0")/../app/x11.sh"
build="$1" art="$2"
mkdir -p "$art"
wine="$(command -v wine64 || echo /usr/lib/wine/wine64)"
wineserver="$(command -v wineserver || echo /usr/lib/wine/wineserver)"
export WINEPREFIX="$build/wineprefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap '"$wineserver" -k 2>/dev/null; cleanup' EXIT
win() { local p="Z:$1"; echo "${p//\//\\}"; }
grades() { cat "$memory"/*.log 2>/dev/null | grep -c '^g '; }
main='^Ravolin Memorel - '
memory="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/ravolin-memorel/memory"
rm -rf "$(dirname "$memory")"

app="$work/Ravolin Memorel"
cp -r "$build/package/ravolin-memorel" "$app"
printf 'Hide = 1\r\nIEPlace = C:\\windows\\notepad.exe\r\n' >"$app/Ravmemo.ini"
mkdir "$work/問題集"
deck="$work/問題集/単語.rvm"
printf '\x1fQ1\r\n\x1fA1\r\n\x1f0\r\n\x1f\x8c\xa2\r\n\x1fdog\r\n\x1f1\r\n' >"$deck"

start_display
xdotool mousemove 1599 1199
timeout 300 "$wine" "$app/ravolin-memorel.exe" "$(win "$deck")" >"$art/e2e-$mode-program.log" 2>&1 &
program=$!
pids+=($program)
# The first start of Wine in a prefix takes longer.
for _ in 1 2 3; do wait_for focused "$main.*単語\.rvm\$" && break; done || fail "no main window named after the deck"

# To page 2, its answer uncovered and typed into, then ﾌｧｲﾙ > 上書き保存.
xdotool key ctrl+Next ctrl+Return; xdotool type c
import -window root "$art/e2e-$mode.png"
xdotool key alt+f
wait_for menu_shown || fail "no file menu"
xdotool key s
saved='\x1fQ1\r\n\x1fA1\r\n\x1f0\r\n\x1f\x8c\xa2\r\n\x1fcdog\r\n\x1f1\r\n'
wait_for holds "$deck" "$saved" || same "$deck" "$saved"

# Help in the browser of the settings.
xdotool key F1
wait_for eval '[[ -n "$(xdotool search --onlyvisible --name "^Help\.htm")" ]]' || fail "help did not open in notepad"
wmctrl -c 'Help.htm'
wait_for focused "$main" || fail "main window after help"

# 今日の復習: the first page uncovered and graded 覚えた, then Esc.
xdotool key alt+l
wait_for menu_shown || fail "no 学習 menu"
xdotool key t
wait_for eval '! menu_shown' || fail "the 学習 menu stays"
xdotool key ctrl+Return ctrl+2
wait_for eval '[[ $(grades) == 1 ]]' || fail "no grade kept in $memory"
xdotool key Escape

wmctrl -c "Ravolin Memorel - " || fail "no close request"
wait_for focused '^Ravolin Memorel$' || fail "no exit question"
xdotool key alt+y
wait_for eval '! kill -0 "$program"' || fail "program still running"
same "$app/Ravmemo.ini" 'Hide = 1\r\nIEPlace = C:\\windows\\notepad.exe\r\n'

# The installer for all users, under Program Files; the installed program on the deck.
installed="$WINEPREFIX/drive_c/Program Files/Ravolin Memorel"
rm -rf "$installed"
timeout 120 "$wine" "$(ls "$build"/ravolin-memorel-*-setup.exe)" /S /AllUsers || fail "installer"
[[ -f "$installed/ravolin-memorel.exe" && -f "$installed/translations/qtbase_ja.qm" ]] || fail "nothing installed"
timeout 60 "$wine" reg query 'HKLM\Software\Classes\.rvm' | grep -q RavolinMemorel.Deck || fail "no deck type"
timeout 300 "$wine" "C:\\Program Files\\Ravolin Memorel\\ravolin-memorel.exe" "$(win "$deck")" >>"$art/e2e-$mode-program.log" 2>&1 &
program=$!
wait_for focused "$main.*単語\.rvm\$" || fail "installed program: no main window"
wmctrl -c "Ravolin Memorel - "
wait_for focused '^Ravolin Memorel$' && xdotool key alt+y
wait_for eval '! kill -0 "$program"' || fail "installed program still running"
timeout 120 "$wine" "C:\\Program Files\\Ravolin Memorel\\uninstall.exe" /S /AllUsers
wait_for eval '[[ ! -e "$installed/ravolin-memorel.exe" ]]' || fail "uninstall left the program"
[[ -f "$installed/Ravmemo.ini" && $(grades) == 1 ]] || fail "uninstall took the settings or the memory"
rm -rf "$installed"
echo "Windows program under Wine: OK"
