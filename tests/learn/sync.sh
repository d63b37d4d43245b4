#!/bin/bash
# Two machines' memories kept in step by a real Syncthing, each machine a user
# of its own with its own Syncthing on loopback alone (no discovery, relays,
# NAT traversal or reports). Both grade on the same days, one page on both,
# one often enough to fold its logs. Once the files have crossed, both folders
# hold the same files, no conflict copy, and show what one folder would.
# sync.sh DRIVER
set -euo pipefail
work=$(mktemp -d) && chmod 755 "$work" && pids=()
install -m 755 "$1" "$work/driver"
trap 'for p in "${pids[@]}"; do kill $p && wait $p || true; done 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "$1"; for s in a b; do echo "== $s"; ls "$work/$s/memory"; tail -n 30 "$work/$s.out"; done; exit 1; }
# A loopback port nothing uses, below the range the system takes its own from.
port() { while p=$((20000 + RANDOM % 12000)); grep -qi ":$(printf %04X $p) " /proc/net/tcp*; do :; done; echo $p; }
declare -A as id listen
for s in a b; do
  mkdir -p "$work/$s/memory/.stfolder" "$work/$s/local"
  as[$s]="env HOME=$work/$s"
  if [ "$(id -u)" = 0 ]; then
    id rvmsync$s >/dev/null 2>&1 || useradd --system --no-create-home rvmsync$s
    chown -R rvmsync$s "$work/$s"
    as[$s]="setpriv --reuid=rvmsync$s --regid=$(id -g rvmsync$s) --clear-groups ${as[$s]}"
  fi
  ${as[$s]} syncthing generate --home="$work/$s/st" --no-default-folder >"$work/$s.out" 2>&1
  id[$s]=$(${as[$s]} syncthing serve --home="$work/$s/st" --device-id)
  listen[$s]=$(port)
done
for s in a b; do
  ${as[$s]} tee "$work/$s/st/config.xml" >/dev/null <<XML
<configuration version="36">
  <folder id="memory" path="$work/$s/memory" rescanIntervalS="2" fsWatcherEnabled="true" fsWatcherDelayS="1">
    <device id="${id[a]}"></device><device id="${id[b]}"></device></folder>
  <device id="${id[a]}"><address>tcp://127.0.0.1:${listen[a]}</address></device>
  <device id="${id[b]}"><address>tcp://127.0.0.1:${listen[b]}</address></device>
  <gui enabled="true"><address>127.0.0.1:$(port)</address><apikey>$RANDOM$RANDOM$RANDOM$RANDOM</apikey></gui>
  <options><listenAddress>tcp://127.0.0.1:${listen[$s]}</listenAddress><reconnectionIntervalS>1</reconnectionIntervalS>
    <globalAnnounceEnabled>false</globalAnnounceEnabled><localAnnounceEnabled>false</localAnnounceEnabled>
    <relaysEnabled>false</relaysEnabled><natEnabled>false</natEnabled><urAccepted>-1</urAccepted>
    <crashReportingEnabled>false</crashReportingEnabled><autoUpgradeIntervalH>0</autoUpgradeIntervalH>
    <startBrowser>false</startBrowser></options></configuration>
XML
  STNODEFAULTFOLDER=1 STNORESTART=1 ${as[$s]} syncthing serve --home="$work/$s/st" --no-browser --no-restart \
    --no-upgrade </dev/null >>"$work/$s.out" 2>&1 &
  pids+=($!)
done

# A grade on machine S, and the same in one folder for the whole history.
grade() {
  ${as[$1]} "$work/driver" grade "$work/$1/memory" "$work/$1/local" "${@:2}" || fail "grade $* failed"
  "$work/driver" grade "$work/whole/memory" "$work/whole/$1" "${@:2}"
}
show() { $2 "$work/driver" show "$1/memory" "$1/local" $day $((day + 1)) p1 p2 p3 p4 p5 p6 p7 p8 q1 q2 q3 both; }
day=20000 t=$((20000 * 86400 + 40000))
for n in 1 2 3 4 5 6 7 8; do grade a p$n 1 $day $((t + n)); done
grade b both 1 $day $((t + 50)); grade a both 0 $day $((t + 100))
for n in 1 2 3; do grade b q$n 1 $day $((t + 100 + n)); done
for n in 1 2 3 4 5 6 7 8; do grade a p$n 1 $((day + 1)) $((t + 86400 + n)); done
grade b both 1 $((day + 1)) $((t + 86400 + 50)); grade a p1 0 $((day + 1)) $((t + 86400 + 60))
want=$(show "$work/whole" "") || fail "the whole history is damaged: $want"
grep -qx "day $day reviewed 12 missed 1 introduced 12" <<<"$want" || fail "the whole history is wrong: $want"
ls "$work/a/memory" | grep -q '\.snapshot$' || fail "a never folded its logs"
deadline=$((SECONDS + 90))
for s in a b; do
  until [ "$(show "$work/$s" "${as[$s]}")" = "$want" ] && [ "$(ls "$work/a/memory")" = "$(ls "$work/b/memory")" ]; do
    ((SECONDS < deadline)) || fail "$s never showed the whole history: $(show "$work/$s" "${as[$s]}")"
    sleep 0.3
  done
done
! ls "$work/a/memory" "$work/b/memory" | grep sync-conflict || fail "Syncthing made conflict copies"
echo "both machines show the whole history after $SECONDS s"
