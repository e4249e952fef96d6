#!/usr/bin/env bash
# Installs Tamarind from a build into a temporary prefix and builds the program in
# examples/consumer against the installed package, from outside the tree: once with CMake
# (find_package(Tamarind CONFIG REQUIRED)) and once with pkg-config. Both programs must run and
# report that the user's edit reached the list.
# Usage: scripts/consumer.sh [build-dir, default build]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build" --prefix "$prefix" > /dev/null
echo "installed into $prefix: $(find "$prefix" -name '*.a' | wc -l) libraries, $(find "$prefix" -name '*.h' | wc -l) headers"

work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
cp -r "$root/examples/consumer" "$work/consumer"  # outside the tree: nothing of the repository is reachable
cmake -S "$work/consumer" -B "$work/build" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$work/build"
"$work/build/tamarind_consumer"

pcdir=$(dirname "$(find "$prefix" -name tamarind.pc)")
# shellcheck disable=SC2046
c++ -o "$work/consumer-pc" "$work/consumer/main.cpp" $(PKG_CONFIG_PATH=$pcdir pkg-config --cflags --libs tamarind)
"$work/consumer-pc"
