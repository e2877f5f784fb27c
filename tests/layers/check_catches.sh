#!/usr/bin/env bash
# A small source tree with one wrong include of each kind: the include check
# must name every one of them and fail, and pass the same tree once they are gone.
set -euo pipefail
check="$1"
tree="$(mktemp -d)"
trap 'rm -rf "$tree"' EXIT
mkdir -p "$tree"/{core,ai,present,resources,app}
printf '#include "core/cards.h"\n#include "ai/autopilot.h"\n' >"$tree/core/rules.cpp"
printf '#include "core/cards.h"\n#include "present/display.h"\n' >"$tree/ai/player.h"
printf '#include <SDL.h>\n' >"$tree/present/display.cpp"
printf '#include <SDL.h>\n' >"$tree/app/main.cpp"
printf '#include <gtkmm.h>\n' >"$tree/resources/start_dialog.h"
printf '#include <gtkmm.h>\n' >"$tree/resources/pak.cpp"

out="$("$check" "$tree" 2>&1)" && { echo "FAIL: the check passed a tree with wrong includes" >&2; exit 1; }
for wrong in core/rules.cpp ai/player.h app/main.cpp resources/pak.cpp; do
  grep -q "$wrong" <<<"$out" || { echo "FAIL: $wrong not reported:" >&2; echo "$out" >&2; exit 1; }
done
for right in present/display.cpp resources/start_dialog.h; do
  if grep -q "$right" <<<"$out"; then echo "FAIL: $right reported:" >&2; echo "$out" >&2; exit 1; fi
done

sed -i '/ai\//d' "$tree/core/rules.cpp"
sed -i '/present\//d' "$tree/ai/player.h"
rm "$tree/app/main.cpp" "$tree/resources/pak.cpp"
"$check" "$tree" || { echo "FAIL: the check refused a clean tree" >&2; exit 1; }
