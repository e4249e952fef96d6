#!/usr/bin/env bash
# A screen reader's view of the list, from another process: the window demo on an X server (Xvfb)
# with a private D-Bus session and Qt's AT-SPI bridge switched on, its table read through pyatspi
# (tests/qt/atspi_read_table.py): row and column counts, a column's caption, a cell's text.
#   bash scripts/atspi-check.sh [build-folder]
# Prints "skipped: <reason>" and exits 0 when xvfb-run, dbus-run-session or pyatspi is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

if [[ ${1:-} == --inside ]]; then
  # Inside Xvfb and the private session bus. The accessibility bus is started first: Qt turns its
  # bridge on when that bus appears, and pyatspi talks to it.
  demo=$2 python=$3
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress >/dev/null
  QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$demo" >/dev/null 2>&1 &
  pid=$!
  trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true' EXIT
  # The demo's spice orders as it opens: seven rows, five columns, unsorted.
  "$python" "$root/tests/qt/atspi_read_table.py" --app "Spice orders" --rows 7 --columns 5 \
    --header 1=Qty --cell 0,0=Anise --timeout 30
  exit
fi

build=${1:-$root/build}
demo=$build/examples/kestrel_window_demo
for tool in xvfb-run dbus-run-session; do
  if ! command -v "$tool" >/dev/null; then
    echo "skipped: $tool is not installed"
    exit 0
  fi
done
# pyatspi is Debian's (python3-pyatspi): the system's Python has it, another python3 on the PATH may not.
python=
for candidate in python3 /usr/bin/python3; do
  if command -v "$candidate" >/dev/null && "$candidate" -c 'import pyatspi' 2>/dev/null; then
    python=$candidate
    break
  fi
done
if [[ -z $python ]]; then
  echo "skipped: pyatspi is not installed (python3-pyatspi)"
  exit 0
fi
if [[ ! -x $demo ]]; then
  echo "atspi-check: $demo is not built (cmake --build $build --target kestrel_window_demo)" >&2
  exit 1
fi

echo "== the list read through AT-SPI from another process (window demo, Xvfb, private D-Bus session)"
xvfb-run -a -s "-screen 0 1280x1024x24" dbus-run-session -- bash "$0" --inside "$demo" "$python"
