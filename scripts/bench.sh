#!/usr/bin/env bash
# Builds the engine, its benchmark and the command-line tool in Release (build-bench/, without
# the windowed program) and runs the benchmark: engine batch training against FANN's on the
# shapes of the README's "Engine speed" table, and the tool's training loop on XOR. Arguments go
# to the benchmark, e.g. --quick for a short smoke run. FANN figures need libfann-dev (apt-get
# install libfann-dev); without it the engine's figures alone are shown.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_GUI=OFF >/dev/null
cmake --build build-bench -j2 --target axona_bench
echo "load: $(uptime | sed 's/.*load/load/')"
build-bench/bin/axona_bench "$@"
