#!/usr/bin/env bash
# Times a test run in the desktop window (lintaro --run) against the
# command line (lintaro-cli check) on the same generated submission, in
# turn. The window must stay within 1.1 times the command line's time, and
# its peak memory within 24 MiB of the command line's.
#
# Prints, per round, wall and CPU (user + system) seconds and peak memory of
# both programs and the window's run alone (the time `lintaro --run` prints,
# from Start Testing to the end of the run, without the window's start-up),
# and at the end the ratios of the medians. CPU time is the steadier figure
# on a busy machine; the wall and CPU times include process start-up. Of the
# CPU time, the user part is the steadiest: the system part is mostly the
# kernel copying the results file into the page cache, the same work for
# both programs, and on a virtual machine it can vary by a second from one
# run to the next whichever program runs.
#
#   bench/window_vs_cli.sh [RECORDS] [ROUNDS]     (defaults 200000 and 5)
#
# The window is drawn offscreen (QT_QPA_PLATFORM=offscreen) unless DISPLAY
# names a real X display, e.g. DISPLAY=xvfb, which starts Xvfb for the
# measurement at SCREEN (default 1920x1080; QT_SCALE_FACTOR applies) with a
# session bus beside it, as a desktop has:
#   DISPLAY=xvfb bench/window_vs_cli.sh
#   DISPLAY=xvfb SCREEN=3840x2160 QT_SCALE_FACTOR=2 bench/window_vs_cli.sh 1000000
# The window keeps its place in a configuration folder of its own: each
# round has its first start's size on that screen (the picture the window
# paints grows with it), whatever the user's window.ini holds, and that
# file is left as it was.
set -euo pipefail
cd "$(dirname "$0")/.."
records="${1:-200000}"
rounds="${2:-5}"
cmake --build build --target lintaro lintaro-cli gen_submission >/dev/null

work="$(mktemp -d)"
xvfb_pid=""
bus_pid=""
trap '[ -z "$xvfb_pid" ] || kill "$xvfb_pid"; [ -z "$bus_pid" ] || kill "$bus_pid"; rm -rf "$work"' EXIT
mkdir -p "$work/cli" "$work/gui"
mkdir -m 700 "$work/runtime"
build/gen_submission --records "$records" "$work/sub.txt"

platform=(QT_QPA_PLATFORM=offscreen)
if [ "${DISPLAY:-}" = xvfb ]; then
  # A display number of its own: the first free one from 90.
  number=90
  while [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ]; do number=$((number + 1)); done
  Xvfb ":$number" -screen 0 "${SCREEN:-1920x1080}x24" -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$number" ] && break; sleep 0.1; done
  platform=(QT_QPA_PLATFORM=xcb "DISPLAY=:$number")
  # A desktop session has its bus; without one each window start would
  # launch a bus of its own, which no user's start pays.
  if command -v dbus-daemon >/dev/null; then
    read -r bus bus_pid < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | paste -s -d' ')
    platform+=("DBUS_SESSION_BUS_ADDRESS=$bus")
  fi
  echo "Xvfb :$number at ${SCREEN:-1920x1080}, scale ${QT_SCALE_FACTOR:-1}${bus:+, with a session bus}"
elif [ -n "${DISPLAY:-}" ]; then
  platform=(QT_QPA_PLATFORM=xcb "DISPLAY=$DISPLAY")
fi

measure() {  # prints "wall cpu peak_kib user" of the command; its output goes to $work/out.txt
  /usr/bin/time -f '%e %U %S %M' -o "$work/time.txt" "$@" >"$work/out.txt" 2>/dev/null || true
  awk '{ printf "%.3f %.3f %d %.3f", $1, $2 + $3, $4, $2 }' "$work/time.txt"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

: >"$work/cli.txt"
: >"$work/gui.txt"
: >"$work/run.txt"
for _ in $(seq "$rounds"); do
  c=$(measure build/lintaro-cli check --home "$work/cli" "$work/sub.txt")
  g=$(measure env "${platform[@]}" XDG_RUNTIME_DIR="$work/runtime" XDG_CONFIG_HOME="$work/config" \
        build/lintaro --home "$work/gui" --run "$work/sub.txt")
  echo "$c" >>"$work/cli.txt"
  echo "$g" >>"$work/gui.txt"
  r=$(sed -n 's/^Window run: \([0-9.]*\) s$/\1/p' "$work/out.txt")
  echo "$r" >>"$work/run.txt"
  read -r cw cc cm cu <<<"$c"
  read -r gw gc gm gu <<<"$g"
  printf 'cli wall %s s cpu %s s (user %s) %d MiB   window wall %s s cpu %s s (user %s) %d MiB (its run %s s)\n' \
    "$cw" "$cc" "$cu" $((cm / 1024)) "$gw" "$gc" "$gu" $((gm / 1024)) "$r"
done
cli_wall=$(cut -d' ' -f1 "$work/cli.txt" | median)
cli_cpu=$(cut -d' ' -f2 "$work/cli.txt" | median)
gui_wall=$(cut -d' ' -f1 "$work/gui.txt" | median)
gui_cpu=$(cut -d' ' -f2 "$work/gui.txt" | median)
gui_run=$(median <"$work/run.txt")
cli_user=$(cut -d' ' -f4 "$work/cli.txt" | median)
gui_user=$(cut -d' ' -f4 "$work/gui.txt" | median)
cli_peak=$(cut -d' ' -f3 "$work/cli.txt" | sort -n | tail -n 1)
gui_peak=$(cut -d' ' -f3 "$work/gui.txt" | sort -n | tail -n 1)
awk -v r="$records" -v cw="$cli_wall" -v cc="$cli_cpu" -v gw="$gui_wall" -v gc="$gui_cpu" \
  -v gr="$gui_run" -v cm="$cli_peak" -v gm="$gui_peak" -v cu="$cli_user" -v gu="$gui_user" 'BEGIN {
  printf "records %d, medians: cli wall %.3f s cpu %.3f s; window wall %.3f s cpu %.3f s, its run %.3f s; peak memory cli %.1f MiB, window %.1f MiB\n", r, cw, cc, gw, gc, gr, cm / 1024, gm / 1024
  printf "window/cli ratio: wall %.3f, cpu %.3f, user cpu %.3f (%.3f s against %.3f s); the window\047s run alone/cli wall %.3f; window memory above cli %.1f MiB\n", gw / cw, gc / cc, gu / cu, gu, cu, gr / cw, (gm - cm) / 1024
}'
