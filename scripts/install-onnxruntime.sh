#!/usr/bin/env bash
# Installs ONNX Runtime for Node.js (the npm package onnxruntime-node, its CPU library inside)
# into FOLDER/node_modules, where the export tests look for it. Its install script is skipped: it
# would download a GPU build. The version is the one the tests were run with. Without npm (Debian
# package npm) or the registry nothing is installed and the tests that run exported models are
# skipped.
set -euo pipefail
dir=${1:?usage: install-onnxruntime.sh FOLDER}
if [ -d "$dir/node_modules/onnxruntime-node" ]; then
    exit 0
fi
if ! command -v npm >/dev/null; then
    echo "npm is missing: ONNX models are not run in the tests"
    exit 0
fi
mkdir -p "$dir"
if ! npm install --prefix "$dir" --ignore-scripts --no-audit --no-fund onnxruntime-node@1.31.1; then
    echo "onnxruntime-node could not be installed: ONNX models are not run in the tests"
    rm -rf "$dir/node_modules/onnxruntime-node"
fi
