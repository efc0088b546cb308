#!/usr/bin/env bash
# Morvex.component as a user gets it: copied into a fresh folder and loaded
# through AUDIOUNIT_PATH by an installed host, with nothing of the build tree
# within reach. The component names the host's platform library by soname
# alone and exports only its entries.
#   component_bundle_test.sh BUILD_DIR
set -euo pipefail
build_dir=$(cd "$1" && pwd)
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
root=$stage/usr/local

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# The host: morvex and the platform library, installed; the installed
# component goes, so that only the copy can be found.
DESTDIR=$stage cmake --install "$build_dir" --prefix /usr/local >/dev/null
rm -rf "$root/lib/morvex/Components/Morvex.component"
mkdir "$stage/fresh"
cp -r "$build_dir/Morvex.component" "$stage/fresh/"
component=$stage/fresh/Morvex.component
library=$component/Contents/MacOS/Morvex

dynamic=$(readelf -d "$library")
! grep -q -e RUNPATH -e RPATH <<<"$dynamic" || fail "the component carries a run path: $dynamic"
needed=$(sed -n 's/.*Shared library: \[\(.*\)\]/\1/p' <<<"$dynamic")
grep -qx libmorvex_platform.so <<<"$needed" || fail "the component does not name the platform library: $needed"
! grep -q / <<<"$needed" || fail "the component needs a library by its path: $needed"
[ "$(grep -c morvex <<<"$needed")" = 1 ] || fail "the component needs more of ours: $needed"
exports=$(nm -D --defined-only "$library" | awk '{print $3}' | sort | tr '\n' ' ')
[ "$exports" = "Morvex_Entry Morvex_ViewEntry " ] || fail "the component exports: $exports"
# Its editor is the bundle's second library, which alone needs what drawing
# needs, and shows the component only its one entry.
editor=$component/Contents/MacOS/MorvexUI
! grep -q -e libX11 -e libfontconfig -e libfreetype -e libpng <<<"$needed" ||
  fail "the component needs the editor's libraries: $needed"
editor_needed=$(readelf -d "$editor" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p')
grep -q libX11 <<<"$editor_needed" || fail "the editor library does not draw with X11: $editor_needed"
[ "$(grep -c morvex <<<"$editor_needed")" = 1 ] || fail "the editor library needs more of ours: $editor_needed"
! readelf -d "$editor" | grep -q -e RUNPATH -e RPATH || fail "the editor library carries a run path"
exports=$(nm -D --defined-only "$editor" | awk '{print $3}' | tr '\n' ' ')
[ "$exports" = "Morvex_MakeEditor " ] || fail "the editor library exports: $exports"

# No library path, no home, no build tree: the loader's log shows what was
# loaded, and every path must be the stage's or Debian's.
host() {
  (cd / && env -i PATH=/usr/bin:/bin HOME="$stage/nowhere" AUDIOUNIT_PATH="$stage/fresh" \
    LD_DEBUG=libs LD_DEBUG_OUTPUT="$stage/ld" "$root/bin/morvex" "$@")
}
info=$(host info) || fail "morvex info failed on the copy"
grep -qx "bundle  *$component" <<<"$info" || fail "the copy was not the component used: $info"

# A short stereo WAV: 16-bit, 44.1 kHz, 4400 frames of a square wave.
frames=4400
le32() { printf "$(printf '\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24)))"; }
{
  printf 'RIFF'
  le32 $((36 + frames * 4))
  printf 'WAVEfmt \x10\x00\x00\x00\x01\x00\x02\x00\x44\xac\x00\x00\x10\xb1\x02\x00\x04\x00\x10\x00data'
  le32 $((frames * 4))
  for ((i = 0; i < frames / 50; ++i)); do
    for ((j = 0; j < 25; ++j)); do printf '\x00\x40\x00\x40'; done
    for ((j = 0; j < 25; ++j)); do printf '\x00\xc0\x00\xc0'; done
  done
} >"$stage/in.wav"
[ "$(stat -c %s "$stage/in.wav")" = $((44 + frames * 4)) ] || fail "the input WAV is malformed: $(stat -c %s "$stage/in.wav") bytes"
rm -f "$stage"/ld.*
host render "$stage/in.wav" "$stage/out.wav" >/dev/null 2>&1 || fail "morvex render failed on the copy"
[ -s "$stage/out.wav" ] || fail "render wrote nothing"
! cmp -s "$stage/in.wav" "$stage/out.wav" || fail "render copied its input"
loaded=$(cat "$stage"/ld.* | sed -n 's/.*calling init: //p' | xargs -d '\n' readlink -f | sort -u)
grep -qx "$(readlink -f "$library")" <<<"$loaded" || fail "the loader log does not show the copy: $loaded"
grep -qx "$(readlink -f "$root/lib/morvex/libmorvex_platform.so")" <<<"$loaded" ||
  fail "the installed platform library was not the one loaded: $loaded"
! grep -q -e "$build_dir" <<<"$loaded" || fail "something was loaded from the build tree: $loaded"
! grep -q -e MorvexUI -e libX11 -e libfontconfig -e libfreetype -e libpng <<<"$loaded" ||
  fail "a render loaded the editor: $loaded"
echo ok
