#!/usr/bin/env bash
# Builds the libFuzzer targets of the network, weight and pattern readers with clang in
# build-fuzz and runs each for a bounded time, seeded from tests/data. Corpora, logs and any
# crashing inputs go to fuzz-out/<target>/.
#   scripts/fuzz.sh [seconds per target, default 60]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DAXONA_FUZZ=ON -DBUILD_GUI=OFF -DBUILD_BENCH=OFF >/dev/null
cmake --build build-fuzz -j"$(nproc)" --target fuzz_netfile fuzz_weightfile fuzz_patternfile
export XDG_CONFIG_HOME=${XDG_CONFIG_HOME:-$(mktemp -d)}
status=0
for target in netfile weightfile patternfile; do
  out=fuzz-out/$target
  mkdir -p "$out/corpus"
  case $target in
    netfile) seeds=(tests/data/*.net examples/*.net) ;;
    weightfile) seeds=(tests/data/*.wgt) ;;
    patternfile) seeds=(tests/data/*.pat tests/data/*.tst) ;;
  esac
  cp -n "${seeds[@]}" "$out/corpus/"
  echo "fuzz_$target: ${seconds}s"
  if ! build-fuzz/bin/fuzz_$target "$out/corpus" -max_total_time="$seconds" -max_len=8192 \
      -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$out/" \
      >"$out/log.txt" 2>&1; then
    echo "fuzz_$target found a problem: see $out/log.txt"
    status=1
  fi
  grep -E '^(Done|stat::number_of_executed_units|stat::peak_rss_mb)' "$out/log.txt" || true
done
exit $status
