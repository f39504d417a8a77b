#!/usr/bin/env bash
# Installs the Debian packages the project needs to build, test and run.
# Does nothing when every one of them is already installed.
set -euo pipefail

packages=(
    cmake g++ make pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools
    qt6-multimedia-dev qt6-webengine-dev libqt6opengl6-dev
    libicu-dev
    firebird-dev libfbclient2 firebird3.0-server-core firebird3.0-server firebird3.0-utils
    qt6-translations-l10n fonts-liberation desktop-file-utils
    xauth xvfb poppler-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update
"${as_root[@]}" apt-get install -y "${missing[@]}"
