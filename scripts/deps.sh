#!/usr/bin/env bash
# Installs with apt-get whatever the build and the tests need and is missing (Debian 12, as root).
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-translations-l10n libgl-dev
          mdbtools mdbtools-dev libsqlite3-dev libgtest-dev fonts-liberation poppler-utils
          qt6-charts-dev qt6-svg-dev libxlsxwriter-dev libcups2-dev cups printer-driver-cups-pdf
          clang libclang-rt-14-dev dpkg-dev file desktop-file-utils appstream zip unzip groff-base)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installo: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
fi
# LibreOffice opens the converted report in the spreadsheet test; without its recommends it stays small.
if ! dpkg-query -W -f='${Status}' libreoffice-calc-nogui 2>/dev/null | grep -q "install ok installed"; then
  echo "Installo: libreoffice-calc-nogui"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends libreoffice-calc-nogui >/dev/null
fi
