#!/usr/bin/env bash
# Qt Designer with KestrelWidget: starts Designer on a virtual X server with the build's plugin
# folder, opens a form holding the widget, and saves a screenshot. Fails when Designer reports
# that it could not load the plugin or make the widget, or when the screen shows nothing.
# Skipped, saying so, where Designer or Xvfb is absent.
# Usage: scripts/designer-smoke.sh [build-dir, default build] [screenshot, default <build>/designer-smoke.png]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
shot=${2:-$build/designer-smoke.png}
designer=$(command -v designer || true)
[[ -x /usr/lib/qt6/bin/designer ]] && designer=/usr/lib/qt6/bin/designer
if [[ -z "$designer" ]] || ! command -v xvfb-run >/dev/null; then
  echo "designer-smoke: Qt Designer (qt6-tools-dev-tools) or xvfb-run is not installed: skipped"
  exit 0
fi
plugins="$build/designer/plugins"
[[ -f "$plugins/designer/libtamarind_designer.so" ]] || { echo "designer-smoke: no plugin in $plugins" >&2; exit 1; }
log=$(mktemp)
home=$(mktemp -d)  # Designer's own settings stay out of the user's home
trap 'rm -rf "$log" "$home"' EXIT

xvfb-run -a -s "-screen 0 1280x900x24" env HOME="$home" XDG_CONFIG_HOME="$home/.config" \
  QT_PLUGIN_PATH="$plugins" QT_QPA_PLATFORM=xcb bash -c '
    "$1" -geometry 1270x890+0+0 "$2" >"$3" 2>&1 &
    pid=$!
    sleep 8
    "$4" "$5"; grabbed=$?
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    exit "$grabbed"' _ "$designer" "$root/tests/designer/OrdersForm.ui" "$log" \
  "$build/tests/designer/designer_screengrab" "$shot"

if grep -Ei "tamarind.*(cannot|could not|failed|not found)|KestrelWidget.*(cannot|could not|not found|unknown)" "$log"; then
  echo "designer-smoke: Designer could not use the plugin (above)" >&2
  exit 1
fi
echo "designer-smoke: Designer opened the form with KestrelWidget; screenshot in $shot"
