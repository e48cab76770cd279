#!/usr/bin/env bash
# Installs what is missing, builds and runs every test (engine, core, GUI) with CTest.
# Extra arguments go to cmake, e.g. scripts/test.sh build-asan -DAXONA_SANITIZE=ON
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
dir=${1:-build}
shift || true
scripts/build.sh "$dir" "$@"
# ONNX Runtime for the tests that run exported models (skipped without it).
scripts/install-onnxruntime.sh "$dir/onnxruntime"
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR=$runtime
# Tests write settings into a private config folder, never the user's.
export XDG_CONFIG_HOME=$runtime/config
cd "$dir"
dbus-run-session -- ctest --output-on-failure -j"$(nproc)"
