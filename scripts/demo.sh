#!/usr/bin/env bash
# Builds Tamarind and runs the demo: the spice-order list in a real window (Qt) when a display is
# there; without one, a scripted user session on the same real widgets on Qt's offscreen platform,
# with a screenshot after each step in a folder it names.
#   bash scripts/demo.sh [--script] [--shots folder]   the window demo
#   bash scripts/demo.sh --headless [form-file]        the text demo on the headless desktop
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
cmake --build "$build" -j "$(nproc)" --target kestrel_window_demo
exec "$build/examples/kestrel_window_demo" "$@"
