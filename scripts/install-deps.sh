#!/usr/bin/env bash
# Installs every Debian package Valvenix needs to build, run, test and benchmark.
# Skips what is already installed; uses sudo only when not root.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libqt6svg6 qt6-svg-dev qt6-qpa-plugins
    libsqlite3-dev libssl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-noto-core fonts-noto-mono
    xvfb xauth imagemagick
    clang-format ccache
    python3 openssl
    appstream desktop-file-utils poppler-utils
    clang libclang-rt-14-dev llvm-14
    locales
    ngspice time
    nlohmann-json3-dev
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi

if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Numbers are also read and written under a comma-decimal locale in the tests: generate de_DE.UTF-8.
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    echo "Generating the de_DE.UTF-8 locale"
    $SUDO sh -c "grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null || echo 'de_DE.UTF-8 UTF-8' >> /etc/locale.gen; locale-gen >/dev/null"
fi
