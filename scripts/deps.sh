#!/usr/bin/env bash
# Installs whatever Debian packages (and local npm packages) the build and the tests need.
# Safe to run again: it installs only what is missing.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libjpeg-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev
  xvfb xauth
  mdbtools sqlite3 libsqlite3-dev nodejs npm
  dpkg-dev
  unixodbc unixodbc-dev odbcinst python3-pyodbc libqt6sql6-odbc
)
window=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libgl1-mesa-dev libjpeg-dev)
if [ "${1:-}" = "--window-only" ]; then
  packages=("${window[@]}")
elif [ "${1:-}" = "--package" ]; then
  packages=("${window[@]}" dpkg-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
# node and npm may come from elsewhere than Debian; a working node is enough.
if command -v node >/dev/null && command -v npm >/dev/null; then
  filtered=()
  for p in "${missing[@]}"; do [[ "$p" == nodejs || "$p" == npm ]] || filtered+=("$p"); done
  missing=("${filtered[@]}")
fi

if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
