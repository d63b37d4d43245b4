#!/bin/bash
# A check by ear, with a real screen reader: Orca listens to the real
# program on a private X display and session bus, while the keyboard alone
# drills one page and opens help. Tab goes to the covered answer and Space
# opens it: the answer must be spoken. F1, with a browser that cannot start,
# opens the program's own help window: its page and the line above it must
# be spoken, and the page's next line on Down. Speech Dispatcher's voice
# here writes what it is given to a file instead of a sound device. Prints
# what Orca said and what the voice spoke, and fails when the answer or the
# help page was not spoken.
# Needs Debian's orca and speech-dispatcher, and what the end-to-end checks
# need; run as root to install what is missing.
# Usage: tools/screen-reader-check.sh [PROGRAM]   (default build/ravolin-memorel)
set -uo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
program_file="$(realpath -m "${1:-$here/build/ravolin-memorel}")"
[[ -x "$program_file" ]] || { echo "No program at $program_file: build it first."; exit 1; }
"$here/tools/setup.sh" orca at-spi2-core python3-pyatspi dbus-x11 speech-dispatcher \
  speech-dispatcher-audio-plugins libao4 xvfb openbox xdotool wmctrl x11-utils || exit 1
mode=screen-reader
source "$here/tests/app/x11.sh"
art="$work"
export XDG_RUNTIME_DIR="$work/runtime" XDG_DATA_HOME="$work/home/.local/share"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"

# The program runs from a folder of its own, with its help beside it and a
# help browser that does not exist.
app="$work/bin/ravolin-memorel"
install -D "$program_file" "$app"
cp -r "$here/resources/Help" "$work/bin/Help"
browser=/nonexistent/browser
printf 'Hide = 1\r\nIEPlace = %s\r\n' "$browser" >"$work/bin/Ravmemo.ini"
question='灯台が照らすもの' answer='港の入口'
deck="$work/deck.rvm"
printf '\x1f%s\r\n\x1f%s\r\n\x1f0\r\n' "$question" "$answer" | iconv -f UTF-8 -t CP932 >"$deck"

# The voice: each utterance a line of $spoken, in UTF-8 whatever the
# language (Speech Dispatcher turns full-width signs half-width); the
# sound goes to libao's null driver.
voice="$work/voice" spoken="$work/spoken.txt"
mkdir -p "$voice/modules"
printf 'AddModule "file" "sd_generic" "file.conf"\nDefaultModule file\nAudioOutputMethod "libao"\n' \
  >"$voice/speechd.conf"
cat >"$voice/modules/file.conf" <<'END'
GenericExecuteSynth "printf '%s\\n' \'$DATA\' >> SPOKEN"
AddVoice "en" "MALE1" "file"
GenericLanguage "en" "english" "utf-8"
GenericLanguage "ja" "japanese" "utf-8"
GenericLanguage "c" "c" "utf-8"
END
sed -i "s|SPOKEN|$spoken|" "$voice/modules/file.conf"
mkdir -p "$HOME"
echo 'default_driver=null' >"$HOME/.libao"
export SPEECHD_ADDRESS="unix_socket:$work/speech.sock"
speech-dispatcher --run-single --timeout 0 --config-dir "$voice" --communication-method unix_socket \
  --socket-path "$work/speech.sock" >"$work/speech.log" 2>&1 &
pids+=($!)
wait_for test -S "$work/speech.sock" || fail "Speech Dispatcher did not start"

start_display
# A session bus of its own, which also brings up the accessibility bus.
unset DBUS_SESSION_BUS_ADDRESS
eval "$(dbus-launch --sh-syntax)"
pids+=("$DBUS_SESSION_BUS_PID")
debug="$work/orca-debug.out"
orca --debug-file="$debug" >"$work/orca.log" 2>&1 &
pids+=($!)

# What Orca said, one utterance a line, from its debug output.
said() { sed -n "s/^[0-9:.]* - SPEECH OUTPUT: '\(.*\)'[ ]*{.*/\1/p" "$debug" 2>/dev/null; }
# The voice has spoken TEXT; within 20 s.
speaking() { grep -qF -- "$1" "$spoken" 2>/dev/null; }
spoke() { wait_for speaking "$1"; }
report() {
  # Orca's debug output is written a little after the voice speaks.
  wait_for eval '(( $(said | wc -l) >= $(wc -l <"$spoken") ))'
  echo "== Orca said:"
  said | sed 's/^/  /'
  echo "== The voice spoke:"
  sed 's/^/  /' "$spoken" 2>/dev/null
}
all=0
expect() { spoke "$1" || { echo "NOT SPOKEN: $1 ($2)"; all=1; }; }

wait_for eval 'said | grep -q "Screen reader on"' || { report; fail "Orca did not start"; }
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$app" "$deck" >"$art/e2e-$mode-program.log" 2>&1 &
program=$!
pids+=("$program")
wait_for focused '^Ravolin Memorel - ' || { report; fail "no main window"; }
spoke "$question" || { report; fail "the question, in the box that has the keyboard, was not spoken"; }

xdotool key Tab
expect '答えを開ける' 'the cover of the answer, reached by Tab'
xdotool key space
expect "$answer" 'the answer, once opened'

xdotool key F1
wait_for focused 'ヘルプ$' || { report; fail "no help window"; }
expect 'ヘルプ read only text' 'the help page, taking the keyboard'
expect "[$browser]" 'the line above the help page'
xdotool key Down
expect '一問一答の問題を作れます。' 'the help page, line by line'

report
exit $all
