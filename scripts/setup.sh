#!/usr/bin/env bash
# Installs the Debian packages Tamarind needs to build, test and run its demo.
# Only missing packages are installed; running it again is cheap.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang pkg-config ccache
  libgtest-dev libgmock-dev libbenchmark-dev
  libicu-dev libasound2-dev
  sox
  libsqlite3-dev unixodbc-dev unixodbc libsqliteodbc
  postgresql odbc-postgresql   # the virtual mode's server engine: a throw-away cluster per test run (scripts/pg-cluster.sh)
  libqt6sql6-sqlite            # the virtual mode's benchmark anchor (QSqlQueryModel over the same SQLite file)
  libcairo2-dev libpango1.0-dev libcups2-dev poppler-utils fonts-dejavu-core
  fonts-urw-base35   # common on desktops; the suite must hold where it stands in for the printing font
  cups printer-driver-cups-pdf
  locales tzdata
  libfreexl-dev libclang-rt-14-dev
  python3-xlrd libreoffice-calc-nogui gnumeric libspreadsheet-parseexcel-perl   # outside readers of the exported workbooks
  qt6-base-dev libqt6test6 qt6-qpa-plugins xvfb xauth
  at-spi2-core python3-pyatspi   # the list read by a screen reader's library from another process (scripts/atspi-check.sh)
  qt6-tools-dev qt6-tools-dev-tools libqt6opengl6-dev   # the Designer plugin (Designer's package needs OpenGL's), QUiLoader, Designer itself
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; else SUDO=; fi
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  $SUDO apt-get update -qq || echo "setup: apt-get update failed; trying the install with the current package lists" >&2
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi

# A second locale, for the suite's run under another language and time zone (the tests that need
# a locale set it themselves; the rest must not depend on the machine's).
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  echo "setup: generating the de_DE.UTF-8 locale"
  $SUDO sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  $SUDO locale-gen >/dev/null
fi
