#!/usr/bin/env bash
# Builds Tamarind and runs the demo: the spice-order list in a real window (Qt) when a display is
# there; without one, a scripted user session on the same real widgets on Qt's offscreen platform,
# with a screenshot after each step in a folder it names.
#   bash scripts/demo.sh [--script] [--shots folder]   the window demo
#   bash scripts/demo.sh --headless [form-file]        the text demo on the headless desktop
#   bash scripts/demo.sh --big [file] [--big-rows N] [--script] [--shots folder]
#                                                      the window demo over a generated table of
#                                                      10,000,000 orders (N if given) in virtual
#                                                      mode, written first into the build folder
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build=$root/build
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [[ ${1:-} == --headless ]]; then
  shift
  cmake --build "$build" -j "$(nproc)" --target kestrel_demo
  exec "$build/examples/kestrel_demo" "$@"
fi
if [[ ${1:-} == --big ]]; then
  shift
  file=$build/bigtable/orders.db
  if [[ $# -gt 0 && $1 != --* ]]; then file=$1; shift; fi
  rows=()
  args=("$@")
  for ((i = 0; i < ${#args[@]}; i++)); do
    if [[ ${args[i]} == --big-rows && $((i + 1)) -lt ${#args[@]} ]]; then rows=(--rows "${args[i + 1]}"); fi
  done
  cmake --build "$build" -j "$(nproc)" --target kestrel_bigtable kestrel_window_demo
  mkdir -p "$(dirname "$file")"
  # A minute or so for ten million rows the first time; nothing once the file is there.
  "$build/tools/bigtable/kestrel_bigtable" "${rows[@]}" "$file"
  exec "$build/examples/kestrel_window_demo" --big "$file" "$@"
fi
cmake --build "$build" -j "$(nproc)" --target kestrel_window_demo
exec "$build/examples/kestrel_window_demo" "$@"
