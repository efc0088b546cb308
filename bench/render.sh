#!/usr/bin/env bash
# End-to-end render speed: morvex against sox's phaser and the Calf Phaser
# LV2 plug-in (run through lv2file, 6 stages by default) on the same
# 60-second stereo 44.1 kHz float WAV, timed in one go. Prints each as times
# real time and the ratios between them, against the goal that morvex be
# faster than sox and at least 2.5 times as fast as Calf.
#   usage: bench/render.sh [BIN_DIR] [RUNS]
# Needs `scripts/install-deps --bench` (sox, lv2file, calf-plugins, hyperfine).
set -euo pipefail
bin=${1:-build/bin}
runs=${2:-10}
seconds=60
calfGoal=2.5
calf=http://calf.sourceforge.net/plugins/Phaser

for tool in "$bin/morvex" sox lv2file; do
  command -v "$tool" >/dev/null || { echo "render.sh: error: $tool not found (run 'make build' and 'scripts/install-deps --bench')" >&2; exit 1; }
done
plugins=$(lv2file -l 2>/dev/null || true)  # it exits 1 even when it lists them
grep -qF "$calf" <<<"$plugins" || { echo "render.sh: error: the Calf Phaser LV2 plug-in is not installed" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Deterministic (sox -R): two tones on top of pink noise in both channels.
sox -R -n -r 44100 -c 2 -e float -b 32 "$work/in.wav" \
  synth $seconds sine 220 sine 330 synth $seconds pinknoise mix vol 0.4

names=("morvex render --preset Hexagon" "sox phaser" "lv2file Calf Phaser")
commands=(
  "$bin/morvex render $work/in.wav $work/morvex.wav --preset Hexagon --quiet"
  "sox $work/in.wav $work/sox.wav phaser 0.8 0.74 3 0.4 0.5 -t"
  "lv2file -i $work/in.wav -o $work/calf.wav $calf"
)

# Mean wall-clock seconds of each command.
means=()
if command -v hyperfine >/dev/null; then
  hyperfine --style none --warmup 1 --runs "$runs" --export-csv "$work/times.csv" \
    "${commands[@]}" >/dev/null 2>&1
  while IFS=, read -r _ mean _; do means+=("$mean"); done < <(tail -n +2 "$work/times.csv")
else
  for command in "${commands[@]}"; do
    $command >/dev/null 2>&1
    start=$(date +%s.%N)
    for ((i = 0; i < runs; i++)); do $command >/dev/null 2>&1; done
    means+=("$(echo "$start $(date +%s.%N) $runs" | awk '{printf "%.6f", ($2 - $1) / $3}')")
  done
fi

echo "Rendering $seconds s of stereo 44.1 kHz float WAV, mean of $runs runs:"
printf '  %-32s %9s %14s\n' tool seconds 'x real time'
for i in "${!names[@]}"; do
  printf '  %-32s %9.3f %14.0f\n' "${names[$i]}" "${means[$i]}" \
    "$(awk -v s=$seconds -v t="${means[$i]}" 'BEGIN {print s / t}')"
done
awk -v m="${means[0]}" -v x="${means[1]}" -v c="${means[2]}" -v goal=$calfGoal 'BEGIN {
  printf "morvex / sox speed: %.2f   morvex / Calf speed: %.2f\n", x / m, c / m
  printf "goal: faster than sox and at least %.1fx Calf: %s\n", goal,
         (m < x && c / m >= goal) ? "met" : "MISSED"
}'
