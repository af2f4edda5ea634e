#!/usr/bin/env bash
# Times the start-up of valvenix to its main window shown, with a warm data folder, from outside the
# process (farm-bench): once on the offscreen platform (the program's own work) and once on an X server
# (Xvfb), as a desktop user waits for it. Run after scripts/build.sh.
set -euo pipefail
cd "$(dirname "$0")/.."
probe=build/tools/valvenix-startup-probe
data=$(mktemp -d)
xvfb_pid=
cleanup() {
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$data"
}
trap cleanup EXIT
export XDG_DATA_HOME="$data"
QT_QPA_PLATFORM=offscreen "$probe" # the first start fills the folder: the timed ones find it warm

echo "== offscreen"
QT_QPA_PLATFORM=offscreen farm-bench -n 10 --warmup 2 -- "$probe"

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp > /dev/null 2>&1 &
xvfb_pid=$!
sleep 1
echo "== Xvfb $display"
DISPLAY=$display QT_QPA_PLATFORM=xcb farm-bench -n 10 --warmup 2 -- "$probe"
