#!/usr/bin/env bash
# A render maps none of the editor's libraries: not X11, fontconfig,
# FreeType or libpng, nor the component's editor library or morvex's editor
# module. What was mapped is the loader's own account of it.
#   render_libraries_test.sh MORVEX MORVEX_DEMO
set -euo pipefail
morvex=$1
demo=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

"$demo" clip "$work/in.wav"
LD_DEBUG=files LD_DEBUG_OUTPUT="$work/ld" "$morvex" render "$work/in.wav" "$work/out.wav" --quiet ||
  fail "the render failed"
mapped=$(sed -n 's/.*file=\([^ ]*\) \[[0-9]*\];  \(needed\|dynamically loaded\) by.*/\1/p' \
  "$work"/ld.* | sort -u)
# The log is read right: the render's own libraries are in it.
grep -q '^libsndfile' <<<"$mapped" || fail "no libsndfile among the mapped: $mapped"
grep -q '/Contents/MacOS/Morvex$' <<<"$mapped" || fail "no component among the mapped: $mapped"
editor=$(grep -e libX11 -e libfontconfig -e libfreetype -e libpng -e MorvexUI -e morvex-display -e liblilv -e libjack -e libsuil \
  <<<"$mapped" || true)
[ -z "$editor" ] || fail "a render maps the editor's libraries: $editor"
echo "a render maps $(wc -l <<<"$mapped") libraries, none of the editor's"
