#!/usr/bin/env bash
# Starts the real program under a virtual X display in a prepared working directory, sends its main
# window a close request and checks that it ends with exit code 0 and a complete log.
# The Linux program starts as its desktop entry starts it: with --user-data, from another directory, in
# $XDG_DATA_HOME/ravelin. A ravelin.exe runs under Wine ($WINE), with Windows paths in its settings.
# With "terminate" the Linux program is sent SIGTERM instead, as a logout or `kill` would: it must end
# as the close request ends it.
# Usage: smoke_test.sh RAVELIN SEND_CLOSE_REQUEST [close|terminate]
set -euo pipefail
ravelin=$1
close_request=$2
how=${3:-close}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
work="$root/data/ravelin"
mkdir -p "$work" "$root/elsewhere"
run=(env XDG_DATA_HOME="$root/data" "$ravelin" --user-data)
directory() { printf '%s/' "$1"; }
case "$ravelin" in
  *.exe)
    run=("${WINE:-/usr/lib/wine/wine64}" "$ravelin")
    start="$work"
    directory() { local path="Z:$1/"; printf '%s' "${path//\//\\\\}"; }  # JSON-escaped backslashes
    ;;
esac
mkdir -p "$work/game" "$work/originalAtlases" "$work/defaultBattleImages" "$work/defaultMarkerImages" "$work/newTankImages"
echo "fake executable" > "$work/game/WorldOfTanks.exe"
printf '<client_ver>1.0.0</client_ver>\r\n' > "$work/game/WoTLauncher.cfg"
cat > "$work/ravelin.conf" <<JSON
{"wotInstallDir": "$(directory "$work/game")", "wotLastVersion": "1.0.0", "acCurrentDir": "$(directory "$work")",
 "acOriginalAtlasDir": "$(directory "$work/originalAtlases")", "acBattleAtlasDir": "$(directory "$work/defaultBattleImages")",
 "acMarkerAtlasDir": "$(directory "$work/defaultMarkerImages")", "acNewIconsDir": "$(directory "$work/newTankImages")"}
JSON
cd "${start:-$root/elsewhere}"
# A virtual display that does not come up (a server number taken at the wrong moment) is the machine's
# fault, not the program's: each attempt is bounded, and a second one gets a fresh display.
status=0
for attempt in 1 2; do
  status=0
  timeout -k 5 60 xvfb-run -a -s "-screen 0 1024x768x24" \
    bash -c 'close=$1; how=$2; shift 2; "$@" & pid=$!
      if [ "$how" = terminate ]; then
        timeout 30 xdotool search --sync --onlyvisible --name "^Ravelin$" >/dev/null; kill -TERM $pid
      else
        "$close" Ravelin 30 || kill $pid
      fi
      wait $pid' _ "$close_request" "$how" "${run[@]}" \
    || status=$?
  [ "$status" -eq 0 ] && break
  echo "attempt $attempt: ended with status $status" >&2
done
if [ "$status" -ne 0 ]; then
  echo "ravelin ended with exit code $status" >&2
  exit 1
fi
cd "$work"
if [ -n "$(ls -A "$root/elsewhere")" ]; then echo "files left where it was started" >&2; exit 1; fi
last=$(tail -n 1 ravelin.log | tr -d '\r')
case "$last" in
  *"Ravelin exiting with 0 errors and 0 warnings") ;;
  *) echo "unexpected last log line: $last" >&2; cat ravelin.log >&2; exit 1 ;;
esac
grep -q '"wotLastVersion"     : "1.0.0"' ravelin.conf || { echo "settings not saved" >&2; exit 1; }
echo "smoke test passed"
