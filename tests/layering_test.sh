#!/usr/bin/env bash
# Every #include of ours points down the layers: the table below is the one
# place that says which folder may include which. A folder's detail/ is its
# own (and its tests'), nothing but tests includes test code, only the X11
# layer includes Xlib, and no build recipe outside tests/ compiles a file of
# tests/.
#   layering_test.sh SOURCE_DIR
set -euo pipefail
cd "$1"

# Folder: the folders (or single headers) it may include besides its own,
# lower layers first. Tests, benchmarks and fuzz targets stand above all.
declare -A may_include=(
  [framework/base]=""
  [platform]="framework/base"
  [effect/dsp]=""
  [framework/plugin]="framework/base"
  [framework/au]="framework/plugin framework/base platform"
  [framework/lv2]="framework/plugin framework/base"
  [framework/window/gdi]="framework/base"
  [raster]="framework/window/gdi framework/base"
  [framework/editor]="raster framework/window/gdi framework/plugin framework/base"
  [framework/window]="framework/editor raster framework/window/gdi framework/plugin framework/base platform"
  [framework/window/x11]="framework/window framework/editor raster framework/window/gdi framework/plugin framework/base platform"
  [framework/window/offscreen]="framework/window framework/editor raster framework/window/gdi framework/plugin framework/base platform"
  # The window layer picks the backend: only the factory knows them all.
  [framework/window/factory]="framework/window/x11 framework/window/offscreen framework/window framework/editor raster framework/window/gdi framework/plugin framework/base"
  [effect]="effect/dsp framework/window/factory framework/window framework/editor raster framework/window/gdi framework/au framework/lv2 framework/plugin framework/base platform"
  # The painter knows the effect by its identity and its panel's table alone.
  [effect/artwork]="raster framework/window/gdi framework/base effect/MorvexIdentity.h effect/MorvexPanelTable.h"
  # Hosts and generators know the effect by its identity alone.
  [tools/auhost]="platform framework/base effect/MorvexIdentity.h"
  [tools/jackhost]=""
  [tools/lv2host]=""
  [tools/rtcheck]=""
  [tools/demo]="framework/base"
  [tools/raster_shapes]="raster framework/window/gdi framework/base"
  # morvex speaks of values by the effect's one unit law; only its display
  # module (editor, validate, live), loaded by those commands alone, knows the
  # window layers. Its validator hosts the LV2 plug-in too and reads the watch
  # that it preloads; live is a JACK client.
  [tools/morvex]="tools/morvex/editor tools/auhost tools/lv2host tools/rtcheck tools/jackhost framework/base platform framework/au/UserPresets.h framework/window/x11/X11HostWindow.h effect/MorvexIdentity.h effect/ParameterMeaning.h"
  [tools/morvex/editor]="tools/morvex tools/auhost raster framework/base platform framework/window/x11/DisplayLoss.h framework/window/x11/X11HostWindow.h effect/MorvexIdentity.h"
  [bench]="*"
  [fuzz]="*"
  [tests]="*"
)

# The folder a path belongs to: the longest one in the table that holds it.
folder_of() {
  local path=$1 best="" f
  for f in "${!may_include[@]}"; do
    if [[ $path == "$f/"* && ${#f} -gt ${#best} ]]; then best=$f; fi
  done
  printf '%s' "$best"
}

allowed() {  # from to include
  local from=$1 to=$2 include=$3
  [[ $from == "$to" || ${may_include[$from]} == "*" ]] && return 0
  [[ " ${may_include[$from]} " == *" $to "* || " ${may_include[$from]} " == *" $include "* ]]
}

failures=0
fail() {
  echo "$1: $2" >&2
  failures=$((failures + 1))
}

while IFS= read -r file; do
  from=$(folder_of "$file")
  [ -n "$from" ] || continue
  # A test of X (tests/X/...) may look into X's detail/, as X itself does.
  tested=$(folder_of "${file#tests/}")
  while IFS=: read -r line include; do
    include=${include#*\"}
    include=${include%\"*}
    to=$(folder_of "$include")
    [ -n "$to" ] || continue  # the folder's own files, or another project's headers
    if [[ $to == tests && $from != tests ]]; then
      fail "$file:$line" "includes test code: $include"
    elif [[ $include == */detail/* && $from != "$to" && $from != fuzz &&
            !($from == tests && $tested == "$to") ]]; then
      fail "$file:$line" "includes another folder's detail/: $include"
    elif ! allowed "$from" "$to" "$include"; then
      fail "$file:$line" "$from may not include $to: $include"
    fi
  done < <(grep -n '^#include "' "$file" || true)
done < <(find platform framework effect raster tools bench fuzz tests -name '*.h' -o -name '*.cpp' | sort)

# The window system is the X11 layer's business alone; tests look at the
# screen as a user would.
while IFS=: read -r file line include; do
  fail "$file:$line" "only framework/window/x11 includes Xlib: $include"
done < <(grep -rn '^#include <X11/' platform framework effect raster tools bench fuzz \
           --include='*.h' --include='*.cpp' | grep -v '^framework/window/x11/' || true)

while IFS= read -r recipe; do
  fail "$recipe" "builds from tests/: $(grep -n 'SOURCE_DIR}/tests/' "$recipe" | head -1)"
done < <(grep -l 'SOURCE_DIR}/tests/' $(find platform framework effect raster tools bench -name CMakeLists.txt) || true)

if [ "$failures" -gt 0 ]; then
  echo "FAIL: $failures include(s) or recipe(s) against the layers" >&2
  exit 1
fi
echo "every include points down the layers"
