#!/usr/bin/env bash
# Times a test run in the desktop window (lintaro --run, offscreen) against
# the command line (lintaro-cli check) on the same generated submission, in
# turn. The window must stay within 1.1 times the command line's time.
#
# Prints, per round, wall and CPU (user + system) seconds of both programs
# and the window's run alone (the time `lintaro --run` prints, from Start
# Testing to the end of the run, without the window's start-up), and at the
# end the ratios of the medians. CPU time is the steadier figure on a busy
# machine; the wall and CPU times include process start-up.
#
#   bench/window_vs_cli.sh [RECORDS] [ROUNDS]     (defaults 200000 and 5)
set -euo pipefail
cd "$(dirname "$0")/.."
records="${1:-200000}"
rounds="${2:-5}"
cmake --build build --target lintaro lintaro-cli gen_submission >/dev/null

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/cli" "$work/gui"
mkdir -m 700 "$work/runtime"
build/gen_submission --records "$records" "$work/sub.txt"

TIMEFORMAT='%R %U %S'
measure() {  # prints "wall cpu" of the command; its output goes to $work/out.txt
  local t
  t=$( { time "$@" >"$work/out.txt" 2>/dev/null; } 2>&1 ) || true
  awk '{ printf "%.3f %.3f", $1, $2 + $3 }' <<<"$t"
}
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }

: >"$work/cli.txt"
: >"$work/gui.txt"
: >"$work/run.txt"
for _ in $(seq "$rounds"); do
  c=$(measure build/lintaro-cli check --home "$work/cli" "$work/sub.txt")
  g=$(measure env QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work/runtime" \
        build/lintaro --home "$work/gui" --run "$work/sub.txt")
  echo "$c" >>"$work/cli.txt"
  echo "$g" >>"$work/gui.txt"
  r=$(sed -n 's/^Window run: \([0-9.]*\) s$/\1/p' "$work/out.txt")
  echo "$r" >>"$work/run.txt"
  read -r cw cc <<<"$c"
  read -r gw gc <<<"$g"
  printf 'cli wall %s s cpu %s s   window wall %s s cpu %s s (its run %s s)\n' \
    "$cw" "$cc" "$gw" "$gc" "$r"
done
cli_wall=$(cut -d' ' -f1 "$work/cli.txt" | median)
cli_cpu=$(cut -d' ' -f2 "$work/cli.txt" | median)
gui_wall=$(cut -d' ' -f1 "$work/gui.txt" | median)
gui_cpu=$(cut -d' ' -f2 "$work/gui.txt" | median)
gui_run=$(median <"$work/run.txt")
awk -v r="$records" -v cw="$cli_wall" -v cc="$cli_cpu" -v gw="$gui_wall" -v gc="$gui_cpu" \
  -v gr="$gui_run" 'BEGIN {
  printf "records %d, medians: cli wall %.3f s cpu %.3f s; window wall %.3f s cpu %.3f s, its run %.3f s\n", r, cw, cc, gw, gc, gr
  printf "window/cli ratio: wall %.3f, cpu %.3f; the window\047s run alone/cli wall %.3f\n", gw / cw, gc / cc, gr / cw
}'
