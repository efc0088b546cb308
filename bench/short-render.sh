#!/usr/bin/env bash
# Start-up cost of a render: morvex against sox's phaser on the same 10 ms
# stereo 44.1 kHz 16-bit WAV, timed side by side in one go, with what morvex
# spends before it renders anything (--version: loading the program's own
# libraries) and the shared libraries a render maps. The goal: morvex no
# slower than sox.
#   usage: bench/short-render.sh [BIN_DIR] [RUNS]
# Needs `scripts/install-deps --bench` (sox, hyperfine).
set -euo pipefail
bin=${1:-build/bin}
runs=${2:-200}

for tool in "$bin/morvex" sox hyperfine; do
  command -v "$tool" >/dev/null || { echo "short-render.sh: error: $tool not found (run 'make build' and 'scripts/install-deps --bench')" >&2; exit 1; }
done

# The files live in memory where there is a folder for it: morvex waits for
# its output to reach the disk before renaming it into place (sox does not),
# and on a disk other programs keep busy that wait would swamp the start-up
# this measures. The processor time of each run is beside its time.
ram=/dev/shm
[ -d "$ram" ] && [ -w "$ram" ] || ram=${TMPDIR:-/tmp}
work=$(mktemp -d "$ram/short-render.XXXXXX")
trap 'rm -rf "$work"' EXIT
sox -R -n -r 44100 -c 2 -b 16 "$work/in.wav" synth 0.01 sine 220 sine 330 vol 0.5

names=("morvex render --preset Hexagon" "sox phaser" "morvex --version")
commands=(
  "$bin/morvex render $work/in.wav $work/morvex.wav --preset Hexagon --quiet"
  "sox $work/in.wav $work/sox.wav phaser 0.8 0.74 3 0.4 0.5 -t"
  "$bin/morvex --version"
)
# In ten rounds, each command's runs a tenth of them, so that a change in
# what else the machine does meanwhile weighs on every command alike.
rounds=10
for ((round = 0; round < rounds; ++round)); do
  hyperfine -N --style none --warmup 2 --runs "$(((runs + rounds - 1) / rounds))" \
    --export-csv "$work/round$round.csv" "${commands[@]}" >/dev/null 2>&1
done
# Per command: the mean over the rounds of its time and processor time.
means=() cpus=()
while read -r mean cpu; do
  means+=("$mean")
  cpus+=("$cpu")
done < <(awk -F, -v n="${#commands[@]}" 'FNR > 1 {
    i = FNR - 2; time[i] += $2; cpu[i] += $5 + $6; ++rounds[i]
  }
  END { for (i = 0; i < n; ++i) print time[i] / rounds[i], cpu[i] / rounds[i] }' "$work"/round*.csv)

echo "Rendering 10 ms of stereo 44.1 kHz 16-bit WAV, mean of $runs runs in $rounds rounds:"
printf '  %-32s %9s %9s\n' command ms "cpu ms"
for i in "${!names[@]}"; do
  printf '  %-32s %9.2f %9.2f\n' "${names[$i]}" "$(awk -v t="${means[$i]}" 'BEGIN {print t * 1000}')" \
    "$(awk -v t="${cpus[$i]}" 'BEGIN {print t * 1000}')"
done
awk -v m="${means[0]}" -v x="${means[1]}" -v v="${means[2]}" 'BEGIN {
  printf "morvex / sox time: %.2f   morvex --version / sox time: %.2f\n", m / x, v / x
  printf "goal: morvex no slower than sox: %s\n", m <= x ? "met" : "MISSED"
}'
# What a render maps: the editor's libraries should not be among them.
maps=$(LD_DEBUG=files "$bin/morvex" render "$work/in.wav" "$work/morvex.wav" --quiet 2>&1 |
  sed -n 's/.*file=\([^ ]*\) \[0\];  needed by.*/\1/p; s/.*file=\([^ ]*\) \[0\];  dynamically loaded by.*/\1/p' | sort -u)
echo "libraries a render loads: $(wc -l <<<"$maps")"
for ui in libX11 libfontconfig libfreetype libpng16; do
  grep -q "^$ui" <<<"$maps" && echo "  of the editor: $ui"
done
true
