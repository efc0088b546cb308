#!/usr/bin/env bash
# What 'make install' writes works on its own, staged under DESTDIR with no
# set-up at all, and 'make uninstall' takes back exactly that, leaving what
# other packages keep in the same folders.
#   install_test.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
source_dir=$1
build_dir=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
prefix=/usr/local
root=$stage$prefix

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

mkdir -p "$root/lib/lv2/Other.lv2" "$root/lib/morvex/Components/Other.component" "$root/bin"
touch "$root/lib/lv2/Other.lv2/manifest.ttl" "$root/lib/morvex/Components/Other.component/x" \
  "$root/bin/other"
others=$(cd "$stage" && find . -type f | sort)

# The recipe 'make install' runs once the build is done.
DESTDIR=$stage cmake --install "$build_dir" --prefix "$prefix" >/dev/null

# Away from the build tree, with neither AUDIOUNIT_PATH nor a home, the
# installed morvex loads the installed stand-in, which finds the installed
# bundle beside itself.
info=$(cd / && env -i PATH=/usr/bin:/bin HOME="$stage/nowhere" "$root/bin/morvex" info) ||
  fail "the installed morvex info failed"
grep -qx "bundle  *$root/lib/morvex/Components/Morvex.component" <<<"$info" ||
  fail "the installed morvex did not use the installed bundle: $info"
# Its editor comes from the module installed beside the stand-in.
(cd / && env -i PATH=/usr/bin:/bin HOME="$stage/nowhere" "$root/bin/morvex" editor \
  --snapshot "$stage/editor.png") || fail "the installed morvex editor --snapshot failed"
[ "$(head -c 4 "$stage/editor.png" | tail -c 3)" = PNG ] || fail "the snapshot is no PNG"
rm "$stage/editor.png"
# The LV2 bundle needs nothing of ours: both libraries resolve to Debian's
# alone, and an LV2 host finds the plug-in and its user interface there.
for library in Morvex.so MorvexUI.so; do
  libraries=$(ldd "$root/lib/lv2/Morvex.lv2/$library")
  ! grep -q -e morvex -e "not found" <<<"$libraries" ||
    fail "Morvex.lv2/$library needs a library of ours: $libraries"
done
lv2info=$(env LV2_PATH="$root/lib/lv2" lv2info urn:tarnbrook:morvex:stereo) ||
  fail "lv2info does not read the installed Morvex.lv2"
grep -q "$root/lib/lv2/Morvex.lv2/MorvexUI.so" <<<"$lv2info" ||
  fail "lv2info does not see the installed user interface: $lv2info"
# The strict level preloads the installed watch library and finds the
# installed LV2 bundle beside the program.
strict=$(cd / && env -i PATH=/usr/bin:/bin HOME="$stage/nowhere" "$root/bin/morvex" validate --lv2 --strict) ||
  fail "the installed morvex validate --lv2 --strict failed: $strict"
grep -q "^real-time: silence  *PASS" <<<"$strict" ||
  fail "the installed strict level did not watch the audio calls: $strict"
for file in "$root/share/man/man1/morvex.1" "$root/lib/lv2/Morvex.lv2/manifest.ttl" \
  "$root/lib/lv2/Morvex.lv2/fonts/DejaVuSans.ttf" "$root/lib/lv2/Morvex.lv2/fonts/LICENSE-DejaVu.txt" \
  "$root/lib/morvex/Components/Morvex.component/Contents/Resources/fonts/DejaVuSansMono.ttf"; do
  [ -s "$file" ] || fail "$file was not installed"
done

make -s -C "$source_dir" uninstall DESTDIR="$stage" PREFIX="$prefix" >/dev/null
left=$(cd "$stage" && find . -type f | sort)
[ "$left" = "$others" ] || fail "uninstall left or took files: $left"
[ -d "$root/lib/morvex/Components/Other.component" ] || fail "uninstall took a shared folder"
