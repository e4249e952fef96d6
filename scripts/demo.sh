#!/usr/bin/env bash
# Builds Tamarind and runs the demo host: an order list edited in place on the headless desktop,
# from its built-in data, saved and reloaded.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
build=$root/build
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$(nproc)" --target kestrel_demo
"$build/examples/kestrel_demo" "$@"
