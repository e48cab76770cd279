#!/usr/bin/env bash
# Installs what is missing, builds, and starts Axona32 with the example XOR network open,
# ready to train. Extra arguments replace the network file.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
net=${1:-examples/xor.net}
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "No display found: starting under xvfb-run (nothing will be visible)." >&2
    exec xvfb-run -a build/bin/Axona32 "$net"
fi
exec build/bin/Axona32 "$net"
