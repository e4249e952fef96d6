#!/usr/bin/env bash
# Installs Tamarind from a build into a temporary prefix and checks the installed package from
# outside the tree:
#   - the CMake package names no library or header by absolute path;
#   - examples/consumer, asking for the headless component, builds and runs with the lookups of Qt,
#     SQLite3, ODBC, CUPS, pkg-config and ALSA disabled (a required one fails its configure); so
#     does the same main.cpp built with pkg-config and tamarind.pc, which must not bring ALSA,
#     cairo, pango, CUPS, SQLite, ODBC or Qt;
#   - each component loads its own targets and the headless ones, no more, and looks up no package
#     of the others, not even quietly; without COMPONENTS everything installed is loaded; an
#     optional component whose package is missing is only not found; database with SQLite3
#     disabled and an unknown component are refused;
#   - every pkg-config file lists its libraries in link order and requires all they need;
#   - where the installation has the qt component and examples/qt_app exists, that application
#     builds with SQLite3 and ODBC disabled, and its --script run passes on Qt's offscreen platform.
# Usage: scripts/consumer.sh [build-dir, default build]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
prefix=$(mktemp -d)
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT

fail() {
  echo "consumer: $*" >&2
  exit 1
}

cmake --install "$build" --prefix "$prefix" > /dev/null
cmakedir=$(dirname "$(find "$prefix" -name TamarindConfig.cmake)")
pcdir=$(dirname "$(find "$prefix" -name tamarind.pc)")
libdir=$(dirname "$pcdir")
components=$(find "$cmakedir" -name 'Tamarind*Targets.cmake' -printf '%f\n' | sed 's/^Tamarind\(.*\)Targets.cmake$/\1/' | sort | tr '\n' ' ')
echo "installed into $prefix: $(find "$prefix" -name '*.a' | wc -l) libraries, $(find "$prefix" -name '*.h' | wc -l) headers; components: $components"

# A path of this machine in the package would be wrong on any other.
if grep -rn '/usr/' "$cmakedir"; then
  fail "the CMake package names absolute paths (above)"
fi

# The cmake arguments, one a line, that disable the packages named: a required lookup of one fails
# the configure, a quiet or optional one just finds nothing.
disabled() {
  printf -- '-DCMAKE_DISABLE_FIND_PACKAGE_%s=ON\n' "$@"
}
# ... and those under which a dependency provider refuses every lookup of them, quiet and optional
# ones too. (A disabled package never reaches the provider.)
cat > "$work/refuse.cmake" <<'EOF'
# A macro that forgets an earlier result: CMake takes a <name>_FOUND still true from an earlier
# lookup for the provider's answer, and would skip the lookup (and the components it asks for).
macro(tamarind_refuse method name)
  if("${name}" IN_LIST TAMARIND_REFUSED)
    message(FATAL_ERROR "find_package(${name}) was called, and this program must not need ${name}")
  endif()
  unset(${name}_FOUND)
endmacro()
cmake_language(SET_DEPENDENCY_PROVIDER tamarind_refuse SUPPORTED_METHODS FIND_PACKAGE)
EOF
refused() {
  echo "-DCMAKE_PROJECT_TOP_LEVEL_INCLUDES=$work/refuse.cmake"
  echo "-DTAMARIND_REFUSED=$(IFS=';' && echo "$*")"
}
# The packages a headless program must not need.
extras=(Qt6 Qt6Widgets SQLite3 ODBC Cups PkgConfig ALSA)

# Configures project $1 into $2 against the prefix, the output in $2.log; the status is cmake's.
configure() {
  local src=$1 dir=$2
  shift 2
  cmake -S "$src" -B "$dir" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" "$@" > "$dir.log" 2>&1
}

echo "-- examples/consumer with CMake (COMPONENTS headless; Qt, SQLite3, ODBC, CUPS, pkg-config, ALSA disabled)"
cp -r "$root/examples/consumer" "$work/consumer"  # outside the tree: nothing of the repository is reachable
mapfile -t args < <(disabled "${extras[@]}")
configure "$work/consumer" "$work/consumer-build" "${args[@]}" || { cat "$work/consumer-build.log"; fail "examples/consumer does not configure"; }
cmake --build "$work/consumer-build" > "$work/consumer-build.log" 2>&1 || { cat "$work/consumer-build.log"; fail "examples/consumer does not build"; }
"$work/consumer-build/tamarind_consumer"

# The targets each request loads, from a project that only asks and reports.
mkdir "$work/probe"
cat > "$work/probe/CMakeLists.txt" <<'EOF'
cmake_minimum_required(VERSION 3.25)
project(TamarindProbe LANGUAGES CXX)
find_package(Tamarind 0.1 CONFIG ${PROBE_FIND})
set(loaded)
foreach(name tamarind designtime headless desktop spreadsheet platform runtime audio printing database qt widget propertysheet)
  if(TARGET Tamarind::${name})
    list(APPEND loaded ${name})
  endif()
endforeach()
list(JOIN loaded " " loaded)
message(STATUS "probe loaded: ${loaded}")
message(STATUS "probe database found: ${Tamarind_database_FOUND}")
EOF
headless_set="tamarind designtime headless desktop spreadsheet platform runtime"
all_set="$headless_set audio printing database"
[[ -f "$libdir/libtamarind_qt.a" ]] && all_set+=" qt"
[[ -f "$libdir/libtamarind_widget.a" ]] && all_set+=" widget"
[[ -f "$libdir/libtamarind_propertysheet.a" ]] && all_set+=" propertysheet"
probes=0

# expect_loaded <what> <find_package arguments, ;-separated> <targets> [cmake arguments...]
expect_loaded() {
  local what=$1 find=$2 want=$3
  shift 3
  probes=$((probes + 1))
  local dir=$work/probe-$probes
  configure "$work/probe" "$dir" "-DPROBE_FIND=$find" "$@" || { cat "$dir.log"; fail "$what: not found"; }
  local got
  got=$(sed -n 's/^-- probe loaded: //p' "$dir.log")
  [[ "$got" == "$want" ]] || fail "$what: loaded \"$got\", not \"$want\""
  echo "$what: $got"
}

# expect_refused <what> <find_package arguments> <text the reason must hold> [cmake arguments...]
expect_refused() {
  local what=$1 find=$2 reason=$3
  shift 3
  probes=$((probes + 1))
  local dir=$work/probe-$probes
  if configure "$work/probe" "$dir" "-DPROBE_FIND=$find" "$@"; then
    cat "$dir.log"
    fail "$what: found, though it must not be"
  fi
  # CMake wraps the reason over lines.
  local said
  said=$(tr -s ' \n' '  ' < "$dir.log" | sed -n 's/.*Reason given by package: \(.*\) -- Configuring incomplete.*/\1/p')
  [[ "$said" == *"$reason"* ]] || { cat "$dir.log"; fail "$what: refused, but the reason given does not name $reason"; }
  echo "$what: refused ($said)"
}

echo "-- what each request loads"
mapfile -t args < <(refused "${extras[@]}")
expect_loaded "headless, the others refused" "REQUIRED;COMPONENTS;headless" "$headless_set" "${args[@]}"
expect_loaded "spreadsheet, the others refused" "REQUIRED;COMPONENTS;spreadsheet" "$headless_set" "${args[@]}"
mapfile -t args < <(refused Qt6 Qt6Widgets SQLite3 ODBC Cups)
expect_loaded "audio, Qt SQLite3 ODBC CUPS refused" "REQUIRED;COMPONENTS;audio" "$headless_set audio" "${args[@]}"
mapfile -t args < <(refused Qt6 Qt6Widgets SQLite3 ODBC ALSA)
expect_loaded "printing, Qt SQLite3 ODBC ALSA refused" "REQUIRED;COMPONENTS;printing" "$headless_set printing" "${args[@]}"
mapfile -t args < <(refused Qt6 Qt6Widgets Cups PkgConfig ALSA)
expect_loaded "database, Qt CUPS pkg-config ALSA refused" "REQUIRED;COMPONENTS;database" "$headless_set database" "${args[@]}"
if [[ -f "$cmakedir/TamarindQtTargets.cmake" ]]; then
  mapfile -t args < <(refused SQLite3 ODBC)
  expect_loaded "qt, SQLite3 ODBC refused" "REQUIRED;COMPONENTS;qt" "${all_set/ database/}" "${args[@]}"
fi
expect_loaded "no COMPONENTS" "REQUIRED" "$all_set"
expect_loaded "headless, database optional and SQLite3 disabled" "REQUIRED;COMPONENTS;headless;OPTIONAL_COMPONENTS;database" \
  "$headless_set" -DCMAKE_DISABLE_FIND_PACKAGE_SQLite3=ON
grep -q '^-- probe database found: FALSE$' "$work/probe-$probes.log" || fail "the optional database component is reported found"
expect_refused "database, SQLite3 disabled" "REQUIRED;COMPONENTS;database" "SQLite3" -DCMAKE_DISABLE_FIND_PACKAGE_SQLite3=ON
expect_refused "nosuch" "REQUIRED;COMPONENTS;headless;nosuch" "no component nosuch"

echo "-- pkg-config"
pc() { PKG_CONFIG_PATH=$pcdir pkg-config "$@"; }
headless_libs=" $(pc --libs tamarind) "
for lib in -ltamarind_audio -ltamarind_printing -ltamarind_database -ltamarind_qt -ltamarind_widget \
  -lasound -lcairo -lpango -lcups -lsqlite3 -lodbc -lQt6; do
  [[ "$headless_libs" != *" $lib"* ]] || fail "tamarind.pc brings $lib: $headless_libs"
done
# shellcheck disable=SC2046
c++ -o "$work/consumer-pc" "$work/consumer/main.cpp" $(pc --cflags --libs tamarind)
"$work/consumer-pc"

# Every object of one library forced in, then the libraries its file lists, in their order: an
# unresolved symbol means a library too early or a missing Requires. One library at a time, since
# the objects of the others would hide what comes too early.
echo 'int main() { return 0; }' > "$work/empty.cpp"
for file in "$pcdir"/tamarind*.pc; do
  name=$(basename "$file" .pc)
  libs=$(sed -n 's/^Libs://p' "$file" | grep -o -- '-ltamarind[a-z_]*' | sed 's/^-l//')
  for lib in $libs; do
    nm -g --defined-only --format=posix "$libdir/lib$lib.a" | awk '$2 ~ /^[TDBR]$/ { print "-u " $1 }' > "$work/$lib.undefined"
    # shellcheck disable=SC2046
    c++ -o "$work/$lib-linked" "$work/empty.cpp" "-Wl,@$work/$lib.undefined" $(pc --libs "$name") > "$work/$lib.log" 2>&1 ||
      { grep -m 10 'undefined reference' "$work/$lib.log" || head -20 "$work/$lib.log"; fail "$name.pc: lib$lib.a does not link with what follows it"; }
  done
  echo "$name.pc: every library ($(wc -w <<< "$libs")) links with what follows it; requires $(pc --print-requires "$name" | tr '\n' ' ')"
done

echo "-- examples/qt_app"
if [[ ! -f "$cmakedir/TamarindQtTargets.cmake" ]]; then
  echo "skipped: the installation has no qt component (Tamarind was built without Qt 6 Widgets)"
elif [[ ! -f "$root/examples/qt_app/CMakeLists.txt" ]]; then
  echo "skipped: there is no examples/qt_app"
else
  app=$(sed -n 's/^[[:space:]]*add_executable([[:space:]]*\([A-Za-z0-9_.+-]*\).*/\1/p' "$root/examples/qt_app/CMakeLists.txt" | head -1)
  app=${app:-tamarind_qt_app}
  cp -r "$root/examples/qt_app" "$work/qt_app"
  mapfile -t args < <(disabled SQLite3 ODBC)
  configure "$work/qt_app" "$work/qt_app-build" "${args[@]}" ||
    { cat "$work/qt_app-build.log"; fail "examples/qt_app does not configure with SQLite3 and ODBC disabled"; }
  cmake --build "$work/qt_app-build" > "$work/qt_app-build.log" 2>&1 || { cat "$work/qt_app-build.log"; fail "examples/qt_app does not build"; }
  # Its printers and exports stay in the temporary folder.
  mkdir "$work/documents"
  QT_QPA_PLATFORM=offscreen XDG_DOCUMENTS_DIR="$work/documents" CUPS_SERVER=/nonexistent \
    timeout 300 "$work/qt_app-build/$app" --script || fail "$app --script failed (exit $?)"
  echo "$app --script passed"
fi
echo "consumer: all checks passed"
