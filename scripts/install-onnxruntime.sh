#!/usr/bin/env bash
# Installs ONNX Runtime for Node.js (the npm package onnxruntime-node, its CPU library inside)
# into FOLDER/node_modules, where the export tests look for it. Its install script is skipped: it
# would download a GPU build. Without npm (Debian package npm) nothing is installed and the tests
# that run exported models are skipped.
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
npm install --prefix "$dir" --ignore-scripts --no-audit --no-fund onnxruntime-node
