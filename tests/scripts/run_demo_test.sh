#!/usr/bin/env bash
# The main job, 'make run', end to end: scripts/run-demo prints exactly the
# table the README shows and writes exactly the files that table names,
# whether or not the user keeps presets of their own. It reads morvex's
# output, so a change there that breaks the demo fails here.
#   run_demo_test.sh SOURCE_DIR BIN_DIR
set -euo pipefail
source_dir=$1
bin=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The README's table, as it would read for an output folder OUT.
readme_table() {
  awk '/^    #   Preset/ { on = 1 } on && /^$/ { exit } on { print substr($0, 5) }' \
    "$source_dir/README.md" | sed "s| out/| $1/|g"
}
expected_for_out=$(readme_table OUT)
[ "$(wc -l <<<"$expected_for_out")" -ge 12 ] || fail "no demo table found in the README"

# Runs the demo with the presets folder under $1 and checks what it did.
check_demo() {
  local data=$1 out=$scratch/out-${1##*/}
  local printed
  printed=$(env XDG_DATA_HOME="$data" HOME="$scratch/home" "$source_dir/scripts/run-demo" \
    "$bin" "$out") || fail "run-demo exited $? with user presets in $data"
  [ "$printed" = "$(readme_table "$out")" ] ||
    fail "run-demo's table (user presets in $data) differs from the README's:
$(diff <(readme_table "$out") <(printf '%s\n' "$printed"))"
  local named listed
  named=$(awk 'NF && $NF ~ /\.wav$/ { print $NF }' <<<"$printed" | sort)
  listed=$(find "$out" -type f | sort)
  [ "$named" = "$listed" ] || fail "the files written are not the files listed:
$listed"
  for file in $listed; do
    "$bin/morvex-demo" levels "$file" >/dev/null || fail "$file is not a readable sound file"
  done
}

mkdir -p "$scratch/none" "$scratch/own/morvex/presets"
check_demo "$scratch/none"

# User presets the demo must neither list nor render, one of them named as
# the word a scraper of the human listing would take for a preset.
"$bin/morvex-demo" clip "$scratch/clip.wav"
for name in user "Slow Sweep"; do
  XDG_DATA_HOME="$scratch/own" HOME="$scratch/home" "$bin/morvex" render "$scratch/clip.wav" \
    "$scratch/rendered.wav" --preset Twin --save-preset "$name" --quiet
done
[ "$(XDG_DATA_HOME="$scratch/own" "$bin/morvex" presets --raw | grep -c '^user')" = 2 ] ||
  fail "the user presets were not saved"
check_demo "$scratch/own"
