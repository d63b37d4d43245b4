# shellcheck shell=bash
# What the end-to-end checks share, sourced at their start: a scratch folder
# ($work) as the home folder, removed at the end with the processes listed
# in $pids; a private X display with a window manager; and waits for the
# windows to show and hold the keyboard, never for a fixed time, so a busy
# machine only makes a check slower. Before anything can fail the caller
# sets mode (its name in messages and artifacts) and art (the artifacts
# folder), and program to the process of the program while it runs.
work="$(mktemp -d)"
pids=()
cleanup() {
  # Asked to end, Xvfb removes its socket (and any lock file) on the way out.
  kill "${pids[@]}"; wait
  rm -rf "$work"
} 2>/dev/null
trap cleanup EXIT

export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
# The tools here read, match and type Japanese titles.
export LC_ALL=C.UTF-8
# No session bus: without an address, D-Bus starts one for each program
# through the X display, which on a busy machine can hold the program up
# for many seconds before it shows a window.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"

fail() {
  echo "FAIL ($mode): $*"
  import -window root "$art/e2e-$mode-failure.png" 2>/dev/null
  if [[ -n "${program:-}" ]] && ! kill -0 "$program" 2>/dev/null; then
    wait "$program"
    echo "The program had ended, with status $?; its output:"
    cat "$art/e2e-$mode-program.log"
  fi
  exit 1
}
# Runs its arguments until they succeed, for up to 20 s.
wait_for() { for _ in $(seq 200); do "$@" 2>/dev/null && return 0; sleep 0.1; done; return 1; }
# The first visible window whose name matches holds the keyboard; if it
# does not yet, asks the window manager to give it. Waiting for this before
# keys are sent keeps any from going elsewhere. The name searched is the
# legacy title (WM_NAME), which older window managers read too. (A search
# fails when some window goes meanwhile, so each try searches afresh.)
focused() {
  local id
  id="$(xdotool search --onlyvisible --name "$1" | head -n1)"
  [[ -n "$id" ]] || return 1
  [[ "$(xdotool getwindowfocus -f)" == "$id" ]] || { xdotool windowactivate "$id"; return 1; }
}
# A menu of the program shows: of its windows only a popup (a menu, or a
# tooltip, kept away by the pointer's place) bypasses the window manager.
menu_shown() {
  local id
  for id in $(xdotool search --onlyvisible --class '^ravolin-memorel(\.exe)?$'); do
    xwininfo -id "$id" | grep -q 'Override Redirect State: yes' && return 0
  done
  return 1
}
# FILE holds the bytes printf makes of the rest; same fails the check if not.
holds() { local f="$1"; shift; [[ "$(od -An -tx1 "$f" 2>/dev/null)" == "$(printf "$@" | od -An -tx1)" ]]; }
same() { holds "$@" || { od -c "$1"; fail "$1 differs"; }; }
# No visible window's name matches (a search that failed says something).
absent() { [[ -z "$(xdotool search --onlyvisible --name "$1" 2>&1)" ]]; }

# Xvfb picks a free display itself and names it once it takes connections,
# so runs side by side, or after a killed one, never share a display. It
# must not start afresh whenever its last client goes (as the checks for
# it come and go before the window manager is in): one connecting
# meanwhile would be turned away.
start_display() {
  Xvfb -displayfd 3 -noreset -screen 0 1600x1200x24 -nolisten tcp 3>"$work/display" >/dev/null 2>&1 &
  pids+=($!)
  wait_for test -s "$work/display" || fail "Xvfb did not start"
  export DISPLAY=":$(cat "$work/display")"
  openbox >/dev/null 2>&1 &
  pids+=($!)
  wait_for wmctrl -m >/dev/null || fail "no window manager"
  # It names itself some time before it takes windows, and a window mapped
  # meanwhile is never shown: try small windows until one shows.
  local try
  for try in $(seq 10); do wm_takes_windows && return; done
  fail "the window manager takes no window"
}
# A small window shows within 2 s.
wm_takes_windows() {
  xmessage -name rvm-wm-probe probe >/dev/null 2>&1 &
  local probe=$! shown=1
  for _ in $(seq 20); do
    xdotool search --onlyvisible --classname rvm-wm-probe >/dev/null 2>&1 && { shown=0; break; }
    sleep 0.1
  done
  kill "$probe"; wait "$probe" 2>/dev/null
  return $shown
}
