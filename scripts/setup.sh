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
  libcairo2-dev libpango1.0-dev libcups2-dev poppler-utils fonts-dejavu-core
  cups printer-driver-cups-pdf
  libfreexl-dev libclang-rt-14-dev
  qt6-base-dev libqt6test6 qt6-qpa-plugins xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; else SUDO=; fi
  $SUDO apt-get update -qq || echo "setup: apt-get update failed; trying the install with the current package lists" >&2
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
