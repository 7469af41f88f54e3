#!/usr/bin/env bash
# Installs the Debian packages the build needs, or says how to.
#   scripts/deps.sh        the packages of the normal build
#   scripts/deps.sh fuzz   those of the fuzz build too: clang and its libFuzzer runtime
set -euo pipefail

packages=(
    cmake g++ make pkg-config
    libsqlite3-dev
    libxerces-c-dev
    libboost-dev libboost-regex-dev libicu-dev
    libcurl4-openssl-dev
    liblz4-dev nlohmann-json3-dev libcli11-dev
    libxcb1-dev xdg-utils
    clang-format
    qt6-base-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools qt6-translations-l10n
    libqt6svg6
    libgtest-dev
)
if [[ ${1:-} == fuzz ]]; then
    packages+=(clang libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

[[ ${#missing[@]} -eq 0 ]] && exit 0

if [[ $(id -u) -eq 0 ]]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}"
else
    echo "Missing Debian packages. Run:" >&2
    echo "  sudo apt-get install -y ${missing[*]}" >&2
    exit 1
fi
