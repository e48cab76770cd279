#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests, the benchmark and the Debian package need,
# when missing.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config
    qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-svg-dev
    xvfb xauth dbus fonts-dejavu-core
    libfann-dev python3-sklearn clang libclang-rt-14-dev binutils
    file desktop-file-utils appstream shared-mime-info x11-utils
    libonnx-dev libprotobuf-dev
)
# npm installs ONNX Runtime for the tests that run exported models. A Node.js from elsewhere brings
# its own npm and conflicts with Debian's package.
if ! command -v npm >/dev/null; then
    packages+=(npm)
fi
missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi
echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
